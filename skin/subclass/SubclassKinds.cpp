#include "skin/subclass/SubclassKinds.h"

#include <array>

#include "skin/subclass/MainWnd.h"

namespace vm {

namespace {

std::array<TnxKindFactory, nkKindCount>& Factories() {
  static std::array<TnxKindFactory, nkKindCount> factories;
  return factories;
}

bool ValidKind(TnxKind kind) {
  return kind >= 0 && kind < nkKindCount;
}

}  // namespace

void RegisterSubclassKind(TnxKind kind, TnxKindFactory factory) {
  if (ValidKind(kind)) Factories()[kind] = std::move(factory);
}

bool HasSubclassKind(TnxKind kind) {
  return ValidKind(kind) && Factories()[kind] != nullptr;
}

std::unique_ptr<TnxMainWnd> MakeSubclass(TnxKind kind, HWND window, const std::string& section,
                                         TsSkinManager* manager) {
  if (!HasSubclassKind(kind) || !window) return nullptr;
  return Factories()[kind](window, section, manager);
}

}  // namespace vm
