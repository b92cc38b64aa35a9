// The picture formats the program reads, in one table: each kind's file
// extensions, the description the file dialogs show, how its files are
// recognised from their first bytes, and whether the file dialogs preview
// it. The toolkit's picture registry, the file dialogs' preview pane, the
// toolkit's bitmaps and the photo program all ask this table, so that a
// format is added (or an extension accepted) in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm {

enum class TPictureKind { Unknown, Jpeg, Bmp, Ico };

struct TPictureFormat {
  TPictureKind Kind;
  // Lower case, without the dot; the first is the usual one.
  std::vector<std::string_view> Extensions;
  std::string_view Description;
  // The file dialogs show a preview of a selected file of this kind.
  bool Preview;
};

// Every format, in the order the toolkit registers them.
std::span<const TPictureFormat> PictureFormats();
const TPictureFormat* PictureFormatOf(TPictureKind kind);
// The format an extension (any letter case, with or without the dot) names;
// nullptr for none.
const TPictureFormat* PictureFormatByExtension(std::string_view extension);
// The kind the first bytes of a file announce; Unknown when none.
TPictureKind SniffPicture(std::span<const std::uint8_t> bytes);

// A preview of a file's bytes of the given kind, decoded no larger than
// boxW × boxH where the codec can scale while decoding (the caller fits it);
// fullW and fullH get the picture's own size. Raises the codec's error for
// damaged data, and for bytes that are not of that kind.
TBitmap DecodePicturePreview(std::span<const std::uint8_t> bytes, TPictureKind kind, int boxW,
                             int boxH, int& fullW, int& fullH);

}  // namespace vm
