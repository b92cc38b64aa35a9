#include "skin/data/SkinLimits.h"

#include "skin/data/SkinDescription.h"
#include "skin/data/ZDecompressionStream.h"

namespace vm {

void ThrowPictureTooLarge(const std::string& name, std::int64_t width, std::int64_t height) {
  throw ESkinLimitError("рисунок «" + name + "» размером " + std::to_string(width) + " × " +
                        std::to_string(height) + " точек больше допустимого для скина (не более " +
                        std::to_string(MaxSkinPictureSide) + " точек по стороне и " +
                        std::to_string(MaxSkinPicturePixels) + " точек всего)");
}

void ThrowFileTooLarge(const std::string& name, std::uint64_t size, std::uint64_t limit) {
  throw ESkinLimitError("файл «" + name + "» занимает " + std::to_string(size) +
                        " байт, а для скина допустимо не более " + std::to_string(limit));
}

}  // namespace vm

namespace vm {

std::string SkinLoadErrorText(const std::string& file, const std::exception& error) {
  std::string text = "Не удалось загрузить скин из файла «" + file + "».\n";
  std::string reason;
  if (const auto* value = dynamic_cast<const ESkinValueError*>(&error)) {
    text += "Раздел [" + value->Section + "], ключ " + value->Key + ".\n";
    // The reader's own words name the text that is not a number.
    const std::string& d = value->Detail;
    const std::size_t open = d.find('\'');
    const std::size_t close = open == std::string::npos ? open : d.find('\'', open + 1);
    if (d.find("integer") != std::string::npos && close != std::string::npos)
      reason = "в значении «" + value->Value + "» текст «" + d.substr(open + 1, close - open - 1) +
               "» не является целым числом";
    else if (value->Key.find("GRADIENT") != std::string::npos)
      reason = "значение «" + value->Value + "» не является описанием градиента";
    else
      reason = "значение «" + value->Value + "» не читается";
  } else if (dynamic_cast<const ESkinLimitError*>(&error)) {
    reason = error.what();
  } else if (dynamic_cast<const EZDecompressionError*>(&error) ||
             dynamic_cast<const EReadError*>(&error)) {
    reason = "контейнер скина повреждён: сжатые данные испорчены или обрываются";
  } else {
    reason = std::string("ошибка чтения (") + error.what() + ")";
  }
  return text + "Причина: " + reason + ".\nПрограмма продолжает работу со встроенным скином.";
}

}  // namespace vm
