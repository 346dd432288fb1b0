#pragma once

#include "file_dialogs.h"

// Answers the file dialogs with a scripted name (empty: cancelled) and records what was asked.
class RecordingFileDialogs : public FileDialogs {
public:
    QString openFileName(const QString& folder, const QString& filter, const QString& suffix) override {
        asked << QStringList{QStringLiteral("open"), folder, filter, suffix};
        return answer;
    }
    QString saveFileName(const QString& folder, const QString& filter, const QString& suffix,
                         bool askBeforeReplacing) override {
        asked << QStringList{QStringLiteral("save"), folder, filter, suffix,
                             askBeforeReplacing ? QStringLiteral("ask") : QStringLiteral("replace")};
        return answer;
    }

    QString answer;
    QList<QStringList> asked;
};
