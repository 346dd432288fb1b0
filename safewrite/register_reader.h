#pragma once

#include "register_fields.h"

#include <functional>
#include <QByteArray>
#include <QHash>

class RegisterLink;

// Reads `rows` into a scratch copy keyed by ConfigDiff::rowId, through the link's retry rule, calling
// `step` after each row. Stops at the first row that fails: the link's last result says why, and
// the copy holds the rows read before it.
QHash<QString, QByteArray> readRegisterRows(RegisterLink& link, const QList<RegisterFields::Row>& rows,
                                            const std::function<void()>& step = {});
