// The window's way from one analysis to the next: what it showed is noted when a file is opened
// or a run is asked for; the next analysis is made in a state of its own and put on display whole
// when its run has finished, and anything short of that (a refused file, a closed options window,
// a cancelled or failed run) puts back what was shown, whole.
#pragma once

#include "pipeline/run_options.h"
#include "ui/main_form.h"
#include "ui/matrix_screen.h"
#include "ui/window_view.h"

namespace kvr {

// What the window shows now, or, while a next analysis waits, what it showed before that one.
// The waiting analysis is given up: its options window closes.
ShownBefore GiveUpNextAnalysis(MainForm& form);

// Shows again what the window showed before: the analysis on display with its view (or the blank
// idle view), the window's title and file label, the control states.
void PutBack(MainForm& form, const ShownBefore& before);

// Draws the analysis on display in its view (the matrix, the plot, or the blank view of a matrix
// too large for the screen), as it was before something blanked it; the matrix's view goes where
// place says.
void DrawShownView(RunState& state, WindowView& shown, Window& window,
                   ViewPlace place = ViewPlace::Corner);

// The title, and after an append the file label, of the analysis a run has just put on display:
// every file its sequences came from and all of its pairs.
void ShowRunResult(MainForm& form, RunKind kind);

// A file's sequences are loaded for the next analysis: the window awaits its run, the options
// window shows.
void AwaitRun(MainForm& form, RunKind kind, RunState loaded, const ShownBefore& before);

// An append would add pairs of aligner, compared under rule, to identities that the record of the
// analysis on display says another aligner (or another ambiguity rule) made: the user is asked,
// naming both, once for the aligner and once for the rule. True when nothing would mix or the user
// said Yes to each question.
bool MixingAgreed(Window& window, const Provenance& shown, const std::string& aligner,
                  AmbiguityRule rule);

// The options window's Run button: runs the waiting analysis; when its run has finished it
// replaces the analysis on display. An append that would mix aligners or ambiguity rules runs only
// when the user agrees (MixingAgreed); No gives it up and puts back what was shown. A cancelled run
// puts back what was shown; a failed one leaves the sequences waiting and offers the run again.
void OnRunClicked(MainForm& form);

// The options window was closed without a run: the waiting analysis is given up.
void OnOptionsClosed(MainForm& form);

// cmdCancel (and Esc): asks the running run to stop; it ends its aligners and returns.
void OnCancelClicked(MainForm& form);

}  // namespace kvr
