// Connects the run options window's Run button, the session, text export and dataset menu entries
// and the splitter window's button to their handlers.
#pragma once

namespace kvr {

class MainForm;

void RegisterFileHandlers(MainForm& form);

}  // namespace kvr
