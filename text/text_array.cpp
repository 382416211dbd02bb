#include "text/text_array.h"

#include "text/fatal.h"

namespace tavenro {

const Text& TextArray::At(int i) const {
    if (i < 1 || i > Count())
        FatalStop("数组成员下标超出范围。");
    return items_[static_cast<std::size_t>(i - 1)];
}

} // namespace tavenro
