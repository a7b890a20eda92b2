#include "app/kvr_signals.h"

#include <signal.h>

#include <atomic>
#include <iostream>

namespace kvr::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<StopRequest*> stopTarget{nullptr};
volatile sig_atomic_t caught = 0;
struct sigaction previous[std::size(kStopSignals)];

void OnStopSignal(int signal) {
    if (caught == 0) caught = signal;
    if (StopRequest* stop = stopTarget.load()) stop->Raise();
}

}  // namespace

StopOnSignals::StopOnSignals(StopRequest& stop) {
    caught = 0;
    stopTarget.store(&stop);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t k = 0; k < std::size(kStopSignals); ++k)
        ::sigaction(kStopSignals[k], &action, &previous[k]);
}

StopOnSignals::~StopOnSignals() {
    for (std::size_t k = 0; k < std::size(kStopSignals); ++k)
        ::sigaction(kStopSignals[k], &previous[k], nullptr);
    stopTarget.store(nullptr);
}

int StopOnSignals::Signal() const {
    return caught;
}

const char* StopOnSignals::SignalName() const {
    switch (caught) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "a stop request";
    }
}

int StopOnSignals::Cancelled(std::string_view name, std::string_view outcome) const {
    std::cerr << name << ": cancelled by " << SignalName() << ": " << outcome << "\n";
    return Signal() != 0 ? ExitStatus() : 1;
}

}  // namespace kvr::cli
