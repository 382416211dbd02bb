// Text: the bytes of a GBK text without a zero byte inside. The absent and the
// empty text are one value: the empty string.
// TextArray: an ordered list of texts indexed from 1 to Count(); an index
// outside that range is a programming error that stops the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavenro {

using Text = std::string;

class TextArray {
  public:
    TextArray() = default;

    [[nodiscard]] int Count() const { return static_cast<int>(items_.size()); }

    // Element i, 1 <= i <= Count(); anything else ends the program.
    [[nodiscard]] const Text& At(int i) const;

    void Append(std::string_view text) { items_.emplace_back(text); }

    [[nodiscard]] auto begin() const { return items_.begin(); }
    [[nodiscard]] auto end() const { return items_.end(); }

    friend bool operator==(const TextArray&, const TextArray&) = default;

  private:
    std::vector<Text> items_;
};

[[nodiscard]] inline int ArrayCount(const TextArray& list) { return list.Count(); }
inline void ArrayAppend(TextArray& list, std::string_view text) { list.Append(text); }

} // namespace tavenro
