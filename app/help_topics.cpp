#include "help_topics.h"

#include "program_files.h"

#include <QDir>
#include <QHash>

QString helpTopicForPage(const QString& pageName) {
    static const QHash<QString, QString> topics{
        {QStringLiteral("ts_main"), QStringLiteral("3_begin")},
        {QStringLiteral("ts_KKMOptions"), QStringLiteral("OptionsECR")},
        {QStringLiteral("ts_KKMPrintOpt"), QStringLiteral("OptionsPrint")},
        {QStringLiteral("ts_KKMReklama"), QStringLiteral("Strings")},
        {QStringLiteral("ts_KKMdiscount"), QStringLiteral("discounts")},
        {QStringLiteral("ts_KKMLogo"), QStringLiteral("logo")},
        {QStringLiteral("ts_KKMDevices"), QStringLiteral("devices")},
        {QStringLiteral("ts_KKMSections"), QStringLiteral("sections")},
        {QStringLiteral("ts_KKMOperators"), QStringLiteral("cashiers")},
        {QStringLiteral("ts_KKMNalog"), QStringLiteral("taxes")},
        {QStringLiteral("ts_KKMGoods"), QStringLiteral("plu")},
    };
    return topics.value(pageName);
}

QString helpFile(const QString& executableFolder) {
    const QString name = QStringLiteral("help.chm");
    const QString found = findProgramFile(executableFolder, QStringLiteral(KKM_DATA_FOLDER), name);
    return found.isEmpty() ? QDir(executableFolder).filePath(name) : found;
}
