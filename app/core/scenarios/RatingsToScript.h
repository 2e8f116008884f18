#pragma once

#include "app/core/stakes/Ratings.h"

#include <QList>
#include <QString>

class TScriptList;
class TStatList;

// Whether a scenario line made from a rating's comment can run: its options read as options
// and at least one of its seven filters reads as a filter step.
bool IsRunnableScriptLine(const QString& line, const TStatList& methods);

// Turns the comments of the given rating rows back into scenario lines and appends the
// runnable ones to the scenario, in the busy state with its status. A comment whose line cannot
// run is told in an error box and skipped. Returns how many lines were added.
int AddRatingsToScript(TScriptList& script, const TRatingsArray& ratings, const QList<int>& rows,
                       const TStatList& methods);
