#include "model_run.h"

#include <onnxruntime_c_api.h>
#include <stdlib.h>

#include <cstdint>

#include "output_file.h"
#include "required_columns.h"

namespace tolven {
namespace {

// The function table, asked for once and kept for the life of the process; nullptr when the
// library does not serve this API version.
const OrtApi* Api() {
    static const OrtApi* const api = OrtGetApiBase()->GetApi(kOrtApiVersion);
    return api;
}

}  // namespace

ModelRun::~ModelRun() {
    if (api_ == nullptr) return;
    // The release functions accept null for what was never created.
    api_->ReleaseValue(output_);
    api_->ReleaseValue(input_);
    api_->ReleaseMemoryInfo(memoryInfo_);
    api_->ReleaseSession(session_);
    api_->ReleaseSessionOptions(options_);
    api_->ReleaseEnv(env_);
}

std::string ModelRun::Run(const std::string& modelPath, std::span<float> features,
                          std::size_t rows) {
    // ONNX Runtime's Linux builds with telemetry (1.29 on) start its client in CreateEnv: a
    // session file with an identifier and a debug log in $TMPDIR, a device identifier and an
    // event store under ~/.cache. This variable, read there, is the one switch that comes before
    // it; DisableTelemetryEvents, after it, stops the events of builds that ignore it. Set
    // whatever the user's value, and before the library starts a thread.
    ::setenv("ORT_DISABLE_TELEMETRY", "1", 1);
    api_ = Api();
    if (api_ == nullptr) {
        return std::string("ONNX Runtime ") + OrtGetApiBase()->GetVersionString() +
               " does not serve API version " + std::to_string(kOrtApiVersion);
    }
    const std::int64_t shape[] = {static_cast<std::int64_t>(rows),
                                  static_cast<std::int64_t>(kFeatureCount)};
    const char* const inputNames[] = {kModelInputName};
    const char* const outputNames[] = {kModelOutputName};

    OrtStatus* status = api_->CreateEnv(ORT_LOGGING_LEVEL_WARNING, "TOLVEN_Inference", &env_);
    if (!status) status = api_->DisableTelemetryEvents(env_);
    if (!status) status = api_->SetLanguageProjection(env_, ORT_PROJECTION_CPLUSPLUS);  // code 1
    if (!status) status = api_->CreateSessionOptions(&options_);
    if (!status) status = api_->SetIntraOpNumThreads(options_, 1);
    // On Linux the library takes the path as bytes: names in any encoding work as they are.
    if (!status) status = api_->CreateSession(env_, modelPath.c_str(), options_, &session_);
    if (!status) {
        status = api_->CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &memoryInfo_);
    }
    if (!status) {
        status = api_->CreateTensorWithDataAsOrtValue(memoryInfo_, features.data(),
                                                      features.size_bytes(), shape, 2,
                                                      ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT, &input_);
    }
    if (!status) {
        status = api_->Run(session_, nullptr, inputNames, &input_, 1, outputNames, 1, &output_);
    }
    if (status) return TakeError(status);
    return CheckOutput(rows);
}

std::string ModelRun::TakeError(OrtStatus* status) const {
    std::string message = api_->GetErrorMessage(status);
    api_->ReleaseStatus(status);
    return message;
}

// The values are read as floats, kOutputsPerRow a row, whatever the output's shape; a tensor of
// another type or with fewer values would be read wrongly or past its end, so it is refused.
std::string ModelRun::CheckOutput(std::size_t rows) {
    OrtTensorTypeAndShapeInfo* info = nullptr;
    ONNXTensorElementDataType type = ONNX_TENSOR_ELEMENT_DATA_TYPE_UNDEFINED;
    std::size_t count = 0;
    void* data = nullptr;
    OrtStatus* status = api_->GetTensorTypeAndShape(output_, &info);
    if (!status) status = api_->GetTensorElementType(info, &type);
    if (!status) status = api_->GetTensorShapeElementCount(info, &count);
    api_->ReleaseTensorTypeAndShapeInfo(info);
    if (!status) status = api_->GetTensorMutableData(output_, &data);
    if (status) return TakeError(status);

    const std::string name = std::string("model output \"") + kModelOutputName + "\"";
    if (type != ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT) return name + " does not hold floats";
    if (count < rows * kOutputsPerRow) {
        return name + " holds " + std::to_string(count) + " values, fewer than " +
               std::to_string(kOutputsPerRow) + " for each of " + std::to_string(rows) + " rows";
    }
    outputs_ = {static_cast<const float*>(data), rows * kOutputsPerRow};
    return {};
}

}  // namespace tolven
