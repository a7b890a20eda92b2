// One run of the model file over the whole feature matrix through the ONNX Runtime C API: one
// session, one intra-operation thread, one batch, the input tensor borrowing the matrix.
#pragma once

#include <cstddef>
#include <span>
#include <string>

struct OrtApi;
struct OrtEnv;
struct OrtSessionOptions;
struct OrtSession;
struct OrtMemoryInfo;
struct OrtValue;
struct OrtStatus;

namespace tolven {

inline constexpr unsigned kOrtApiVersion = 24;
inline constexpr const char* kModelInputName = "input";
inline constexpr const char* kModelOutputName = "Identity:0";

// Holds every ONNX Runtime object it creates until it is destroyed, and then releases them in
// this order: output value, input tensor, memory info, session, session options, environment.
class ModelRun {
  public:
    ModelRun() = default;
    ~ModelRun();
    ModelRun(const ModelRun&) = delete;
    ModelRun& operator=(const ModelRun&) = delete;

    // Loads the model at `modelPath` (bytes, as given) and runs it over `features`, `rows` rows of
    // kFeatureCount values that must outlive this object. Returns the message that follows
    // "Error: " (ONNX Runtime's own where it has one), or an empty string on success.
    std::string Run(const std::string& modelPath, std::span<float> features, std::size_t rows);

    // kOutputsPerRow values a row, valid until this object is destroyed.
    std::span<const float> Outputs() const { return outputs_; }

  private:
    std::string TakeError(OrtStatus* status) const;
    std::string CheckOutput(std::size_t rows);

    const OrtApi* api_ = nullptr;
    OrtEnv* env_ = nullptr;
    OrtSessionOptions* options_ = nullptr;
    OrtSession* session_ = nullptr;
    OrtMemoryInfo* memoryInfo_ = nullptr;
    OrtValue* input_ = nullptr;
    OrtValue* output_ = nullptr;
    std::span<const float> outputs_;
};

}  // namespace tolven
