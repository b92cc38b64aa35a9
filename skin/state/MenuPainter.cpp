#include "skin/state/MenuPainter.h"

#include <unordered_map>

#include "skin/data/SkinManager.h"

namespace vm {

namespace {

std::unordered_map<TsSkinManager*, TsMenuPainter*>& Painters() {
  static std::unordered_map<TsSkinManager*, TsMenuPainter*> painters;
  return painters;
}

}  // namespace

TsMenuPainter* MenuPainter(TsSkinManager* manager) {
  if (!manager) manager = DefaultManager();
  if (!manager) return nullptr;
  auto it = Painters().find(manager);
  return it == Painters().end() ? nullptr : it->second;
}

void SetMenuPainter(TsSkinManager* manager, TsMenuPainter* painter) {
  if (!manager) return;
  if (painter)
    Painters()[manager] = painter;
  else
    Painters().erase(manager);
}

}  // namespace vm
