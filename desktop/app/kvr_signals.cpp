#include "app/kvr_signals.h"

#include <signal.h>

#include <atomic>
#include <iostream>

#include "io/file_io.h"

namespace kvr::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<StopRequest*> stopTarget{nullptr};
volatile sig_atomic_t caught = 0;
struct sigaction previous[std::size(kStopSignals)];

void OnStopSignal(int signal) {
    if (caught == 0) caught = signal;
    // The file being written is dropped (its temporary removed); finished ones stay.
    StopWrites();
    if (StopRequest* stop = stopTarget.load()) stop->Raise();
}

void OnBrokenPipe(int) {}

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

void EndStreamsOnBrokenPipe() {
    // A handler, not SIG_IGN: caught signals are reset by exec, so the aligners kvr starts get
    // the usual SIGPIPE.
    struct sigaction action {};
    action.sa_handler = OnBrokenPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGPIPE, &action, nullptr);
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
