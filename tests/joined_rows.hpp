// The text a list of picture or banner rows types, all rows in order.
#pragma once

#include <string>
#include <string_view>

template <typename Rows>
std::string joined(const Rows& rows) {
    std::string text;
    for (std::string_view row : rows) {
        text += row;
    }
    return text;
}
