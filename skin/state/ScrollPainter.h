// The skinned scroll bars of a window, as the controls of this layer ask for
// them. A control whose window has its own scroll bars (a memo, a list)
// keeps a TsScrollPainter while a skin is active; the painter takes over the
// window's frame and bars and draws them from the skin. The painter itself
// lives in the window-subclassing layer, which registers its factory here,
// so that the controls never reach up to it.
#pragma once

#include <functional>
#include <memory>

#include "platform/win/WinApi.h"

namespace vm {

class TsCommonData;

class TsScrollPainter {
 public:
  virtual ~TsScrollPainter() = default;
  // The window's contents changed (text, lines, ranges): the bars repaint.
  virtual void Update() = 0;
  // Whether the window still has the painter in front of its handling.
  virtual bool Attached() const = 0;
};

// Makes a painter for the window, with the skin state of its control.
using TsScrollPainterFactory =
    std::function<std::unique_ptr<TsScrollPainter>(HWND window, TsCommonData& data)>;

// Registers the factory (an empty one removes it).
void RegisterScrollPainter(TsScrollPainterFactory factory);
// A painter for the window, or nullptr when no factory is registered.
std::unique_ptr<TsScrollPainter> MakeScrollPainter(HWND window, TsCommonData& data);

}  // namespace vm
