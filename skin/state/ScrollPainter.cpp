#include "skin/state/ScrollPainter.h"

namespace vm {

namespace {

TsScrollPainterFactory& Factory() {
  static TsScrollPainterFactory factory;
  return factory;
}

}  // namespace

void RegisterScrollPainter(TsScrollPainterFactory factory) {
  Factory() = std::move(factory);
}

std::unique_ptr<TsScrollPainter> MakeScrollPainter(HWND window, TsCommonData& data) {
  if (!Factory() || !IsWindow(window)) return nullptr;
  return Factory()(window, data);
}

}  // namespace vm
