#pragma once

#include <QList>
// The colour type only (header-only, no link to the GUI library).
#include <QtGui/qrgb.h>
#include <QString>

// What the graph window draws, made by the workflows that have something to show (the stakes,
// the ratings, the sum distribution): the points in the order they are added to the window, each
// to the line series of its title (the first point of a title makes its series).
struct TGraphPoint {
    int X = 0;
    QString Title;
    double Y = 0;
    bool ShowPoints = false;
    bool ShowLabels = false;
    QRgb Colour = 0;   // 0: the chart's own colour for a new series
};
using TGraphPoints = QList<TGraphPoint>;

// The series colours every chart of the program picks from (opaque, so none of them reads as
// "automatic").
inline constexpr QRgb GraphGreen = 0xFF008000;
inline constexpr QRgb GraphBlue = 0xFF0000FF;
inline constexpr QRgb GraphRed = 0xFFFF0000;
inline constexpr QRgb GraphGrey = 0xFF808080;
inline constexpr QRgb GraphMaroon = 0xFF800000;
inline constexpr QRgb GraphFuchsia = 0xFFFF00FF;
