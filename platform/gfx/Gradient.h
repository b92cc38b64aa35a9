// Gradient fills with the platform's vertex and mesh records: smooth (Gouraud)
// shading of triangles and two-colour rectangles between 16-bit vertex colours.
#pragma once

#include <cstdint>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Types.h"

namespace vm {

using COLOR16 = std::uint16_t;

// A vertex: position in logical coordinates and colour with 16-bit channels
// (a byte value b is given as b * 256).
struct TRIVERTEX {
  std::int32_t x = 0;
  std::int32_t y = 0;
  COLOR16 Red = 0;
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};

struct GRADIENT_TRIANGLE {
  std::uint32_t Vertex1 = 0;
  std::uint32_t Vertex2 = 0;
  std::uint32_t Vertex3 = 0;
};

struct GRADIENT_RECT {
  std::uint32_t UpperLeft = 0;
  std::uint32_t LowerRight = 0;
};

enum : std::uint32_t {
  GRADIENT_FILL_RECT_H = 0,
  GRADIENT_FILL_RECT_V = 1,
  GRADIENT_FILL_TRIANGLE = 2,
};

// Fills triangles of vertices on a bitmap. Vertex positions are offset by
// (dx, dy); only pixels inside clip (bitmap coordinates) are written. A pixel
// belongs to a triangle when its centre is inside it (left and top edges
// included, right and bottom edges excluded), so triangles sharing an edge
// cover every pixel once. Its colour is the vertex colours interpolated at the
// pixel centre; a triangle of three equal colours gives exactly that colour.
// Returns false (drawing nothing) when a mesh entry names a missing vertex or
// the mode is unknown.
bool GradientFillBitmap(TBitmap& bmp, const TRegion& clip, int dx, int dy,
                        const TRIVERTEX* vertices, std::uint32_t vertexCount, const void* mesh,
                        std::uint32_t meshCount, std::uint32_t mode);

}  // namespace vm
