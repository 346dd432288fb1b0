#pragma once

#include <QString>

// The help topic of a page by the page's object name; empty for a page without help.
QString helpTopicForPage(const QString& pageName);

// The help file: in the installed program's data folder, else beside the executable, where a
// missing file is then reported when help is asked for.
QString helpFile(const QString& executableFolder);
