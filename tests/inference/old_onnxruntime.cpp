// Stands in for an ONNX Runtime that predates API version 24: preloaded in front of the real
// library, it answers every GetApi with nothing, as such a library does.
#include <onnxruntime_c_api.h>

namespace {

const OrtApi* GetApi(uint32_t) noexcept {
    return nullptr;
}
const char* GetVersionString() noexcept {
    return "1.21.0";
}
const OrtApiBase kApiBase{GetApi, GetVersionString};

}  // namespace

const OrtApiBase* OrtGetApiBase() noexcept {
    return &kApiBase;
}
