#pragma once

#include <QVariantList>
#include <QVariantMap>
#include <functional>

// The six collections Save and Write take, made from a decoded map the way
// the screens make them (records keep their "origin"), in the order of
// EditMerge::Collection.
namespace Collections {

QVariantList fromDecoded(const QVariantMap &decoded);

// The same after a spin box's clamping: every number in the settings held to
// 0..15, as a screen that cannot show a stored value would hand it back.
QVariantList clamped(const QVariantMap &decoded);

// An edit of the collections: sets `key` of record `index` of a collection
// (index -1: of the collection itself, a map such as the settings).
using Edit = std::function<void(QVariantList &)>;
Edit setIn(int collection, int index, const char *key, const QVariant &value);

} // namespace Collections
