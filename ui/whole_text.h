#pragma once

class QLineEdit;
class QString;

// Puts a text read from a file into `edit` whole. The edit's typing limit is for typing: a longer
// stored value must reach the code that checks or clamps it, not be cut on the way in.
void putWholeText(QLineEdit* edit, const QString& text);
