// Every named control of the three forms (main window, run options, dataset splitter), with the
// names the handlers use. The forms themselves are controls too: their caption is the window title.
#pragma once

#include <array>
#include <string_view>

namespace kvr {

// X-macro so that the enum and the name table can never drift apart.
// clang-format off
#define KVR_CONTROLS(X)                                                                      \
    /* forms */                                                                              \
    X(frmMainForm) X(frmOptions) X(frmIdentityPrct) X(frmSplash)                             \
    /* main window menus */                                                                  \
    X(mnuOpenFile) X(mnuSave) X(mnuSaveSession) X(mnuSaveSimScore) X(mnuColumn) X(mnuMat)    \
    X(mnuSaveMatrix) X(mnuEMF) X(mnuBMP) X(mnuSavePlot) X(mnuEMF2) X(mnuBMP2) X(mnuPlotData) \
    X(mnuCopyMat) X(mnuCopyMatEMF) X(mnuCopyMatBMP) X(mnuCopyPlot) X(mnuCopyPlotEMF)         \
    X(mnuCopyPlotBMP) X(mnuSaveSeqs) X(mnu_Save_All) X(mnuRerun) X(mnuAppend) X(mnuStop)     \
    X(mnuSVG) X(mnuPDF) X(mnuSVG2) X(mnuPDF2) X(mnuPNG) X(mnuPNG2) X(mnuViridis)             \
    X(mnuZoomFit) X(mnuZoom100) X(mnuFind) X(mnuCopyCell)                                   \
    X(mnuSaveGroups) X(mnuSaveTree) X(mnuGroups) X(mnuProperties) X(mnuShowTree)            \
    /* main window buttons and cut-off controls */                                           \
    X(cmdDrawMat) X(cmdPlot) X(cmdZoomIn) X(cmdZoomOut) X(cmdColourScheme) X(lblCutoff1)     \
    X(updCutoff1) X(lblCutoff1dsply) X(lblCutoff2) X(UpdCutoff2) X(lblCutoff2dsply)          \
    /* main window pictures and scroll bars */                                               \
    X(OuterPicture) X(ZoomingPicture) X(InnerPicture) X(keyPicture) X(VScroll1) X(HScroll1)  \
    X(namesPicture)                                                                          \
    /* status area */                                                                        \
    X(Frame2) X(ProgressBar1) X(lblProgress) X(lblPrgPercent) X(lblFilePath) X(cmdCancel)    \
    /* run options window */                                                                 \
    X(fraOption) X(oMuscle) X(oClustalw) X(oMafft) X(oBuiltin) X(chkOptions) X(chkAmbiguous) \
    X(CmdRun)                                                                                \
    /* dataset splitter window */                                                            \
    X(Label1) X(txtMaxSeqIdentity) X(Label2) X(txtMinSeqIdentity) X(cmdOk)
// clang-format on

enum class Control {
#define KVR_CONTROL_ENUM(name) name,
    KVR_CONTROLS(KVR_CONTROL_ENUM)
#undef KVR_CONTROL_ENUM
};

inline constexpr std::array kControlNames = {
#define KVR_CONTROL_NAME(name) std::string_view(#name),
    KVR_CONTROLS(KVR_CONTROL_NAME)
#undef KVR_CONTROL_NAME
};

inline constexpr int kControlCount = static_cast<int>(kControlNames.size());

constexpr std::string_view ControlName(Control c) {
    return kControlNames[static_cast<int>(c)];
}

}  // namespace kvr
