// Helpers of the fountain-frm tests: form files made as the editor makes
// them, and the tool run as a separate process.
#pragma once

#include "core/form_layout.h"
#include "core/form_store.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>

// Byte offsets of a slot's fields in bank 0, and of a valve's travel time
// (valves and name characters counted from 1).
int levelAt(int slot, int valve);
int nameLengthAt(int slot);
int nameCharAt(int slot, int character);
int holdMinAt(int slot);
int holdSecAt(int slot);
int travelAt(int valve);

FountainForm form(JetLevels levels, const QString &name, int min, int sec);
// A programme as the editor writes it: three forms, a coda mark at form 4
// and a form after it.
QByteArray editorFile();
QByteArray withBytes(QByteArray image, const QList<QPair<int, int>> &bytes);

struct Run
{
    int code = -1;
    QString out;
    QString err;
};
// fountain-frm with these arguments; code -1 when it did not finish.
Run runTool(const QStringList &args, const QString &workDir = QString());
