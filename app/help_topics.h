#pragma once

#include <QString>

// The help topic of a page by the page's object name; empty for a page without help.
QString helpTopicForPage(const QString& pageName);
