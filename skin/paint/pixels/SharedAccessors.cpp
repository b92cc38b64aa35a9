#include "skin/paint/pixels/SharedAccessors.h"

namespace vm {

TnxFastSum24& SharedFastSum24() {
  static TnxFastSum24 instance;
  return instance;
}

TnxFast24& SharedFast24() {
  static TnxFast24 instance;
  return instance;
}

TnxFast24& SharedFast24Second() {
  static TnxFast24 instance;
  return instance;
}

TnxFast32& SharedFast32() {
  static TnxFast32 instance;
  return instance;
}

}  // namespace vm
