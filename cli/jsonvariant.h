#pragma once

#include <QJsonValue>
#include <QVariant>

// Decoded maps as JSON: numbers stay numbers, booleans booleans, byte arrays
// become lowercase hexadecimal strings; object keys come out sorted.
QJsonValue jsonFromVariant(const QVariant &value);
