#pragma once

class QCoreApplication;
class QLocale;

// Names the application and its menu entry, and loads Qt's own translation for the user's language,
// so that standard dialogs and buttons speak it. No display name is set: on
// Linux Qt would append it to every window title, the message boxes' included.
void setUpApplication(QCoreApplication& app);

// Loads Qt's base translation for `locale` from the system's Qt translations;
// false when there is none (English needs none).
bool loadQtTranslation(QCoreApplication& app, const QLocale& locale);
