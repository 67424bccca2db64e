#include "settings/FieldCheck.h"

#include "common/Text.h"

#include <cmath>

namespace quarnel {

const FieldCheck* fieldCheckFor(Text field) {
    for (const auto& check : kFieldChecks)
        if (check.field == field)
            return &check;
    return nullptr;
}

bool fieldAccepts(const FieldCheck& check, std::string_view text) {
    const auto value = parsePlainNumber(text);
    if (!value)
        return false;
    const double rounded = std::nearbyint(*value); // the default rounding: half to even
    return rounded >= check.low && rounded <= check.high;
}

const FieldCheck* refusalFor(Text field, std::string_view text) {
    const FieldCheck* check = fieldCheckFor(field);
    return (check && !fieldAccepts(*check, text)) ? check : nullptr;
}

} // namespace quarnel
