#pragma once

// Small helpers that tests of every folder share: texts, files, draws and combinations.

#include "engine/KelmaStakes.h"
#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <ostream>
#include <vector>

// Lets GoogleTest print a QString in a failure.
void PrintTo(const QString& text, std::ostream* os);

// A text written in the source as UTF-8.
QString U(const char* utf8);
// The text as the program's files hold it (cp1251).
QByteArray Cp(const char* utf8);

// The file's bytes; "<missing>" when it cannot be read, so a comparison fails readably.
QByteArray ReadFileBytes(const QString& path);
// Writes the bytes as the whole file; a failure fails the test.
void WriteFileBytes(const QString& path, const QByteArray& bytes);

// A draw record with its number, two digits and key text.
TDrawRec Draw(std::uint32_t number, int d1, int d2, const char* key);
// A combination of two digits.
TCombWord C(int d1, int d2);
// Combinations as "d;d" texts, for readable failures.
QStringList CombTexts(const TCombsArray& combs);

// An unchecked two-digit stake on d1, d2 for a draw.
TStakeRec StakeOn(std::uint8_t origin, std::int32_t draw, int d1, int d2, const char* comment,
                  std::int64_t balanceUnits = -10, std::int32_t selectionSize = 100);
// The stake as a check leaves it: the drawn digits, the matches and the balance.
TStakeRec Scored(TStakeRec rec, int r1, int r2, TDigitsRec matches, std::int64_t balanceUnits);
// Stake records as the stakes file holds them.
QByteArray StakeBytes(const std::vector<TStakeRec>& records);

// A local TCP port with nobody listening on it.
int ClosedLocalPort();
