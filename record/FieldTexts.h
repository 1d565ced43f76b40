#pragma once

#include <string>

#include "NumberText.h"

namespace qv {

// The texts of the editable fields (those a write sends), indexed by field. The read-only
// values have no text: they live in the records only. The window implements it over its text
// boxes; setting a text there runs the field's change rule, as any change of the text does.
class FieldTexts {
public:
    virtual ~FieldTexts() = default;
    virtual std::string text(int field) const = 0;
    virtual void setText(int field, const std::string& text) = 0;
    // The number format the texts are written in.
    virtual NumberFormat format() const { return {}; }
};

}  // namespace qv
