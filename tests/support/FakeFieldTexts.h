#pragma once

#include <array>
#include <string>

#include "record/FieldCatalogue.h"
#include "record/FieldTexts.h"

namespace qv::test {

class FakeFieldTexts final : public FieldTexts {
public:
    std::string text(int field) const override { return texts.at(field); }
    void setText(int field, const std::string& text) override { texts.at(field) = text; }
    std::array<std::string, kFieldCount> texts;
};

}  // namespace qv::test
