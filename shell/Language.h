#pragma once

namespace qv {

// The language of the Read and Write captions and of the model error, chosen at start-up.
enum class Language { English, Chinese };

}  // namespace qv
