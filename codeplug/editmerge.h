#pragma once

#include <QVariant>

#include "codeplug/blockmap.h"

class Channel;

// What the screens changed since they were filled. The screens hand over whole
// collections as they show them; a spin box may have clamped a stored value or
// a list may be unable to show it, so a collection is compared with the same
// collection as the screens gave it right after they were filled (the
// baseline), and only what differs is handed on to the encoders. Everything
// else keeps its stored bytes.
namespace EditMerge {

// The part of `current` that differs from `baseline`:
// - a map: the keys whose values differ (nested maps recursively);
// - a list of records carrying "origin": each record whose origin is in the
//   baseline becomes {"origin"} plus its changed keys; others pass whole,
//   without an "origin" (a record the user created);
// - a list of records without "origin" (the keys): passed whole.
QVariant changes(const QVariant &current, const QVariant &baseline);

// The order of the six collections handed to apply().
enum Collection { Channels, Zones, RxGroups, Contacts, Settings, Keys, CollectionCount };

// The image's blocks with the collections encoded into them: only what
// differs from the baseline (all of it when the baseline is empty), blocks
// that changed with their answer checksum recomputed. The codec must have the
// image's radio type set.
BlockMap apply(Channel &codec, const BlockMap &image, const QVariantList &collections,
    const QVariantList &baseline);

} // namespace EditMerge
