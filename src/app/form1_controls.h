#pragma once

// Typed access to the controls of Form1 that the binders use. Each member is
// named after its control, and the lookup that fills it uses that very name,
// so a misspelt control is a compile error at its use and a control missing
// from the form stops the program at start-up, in every build type.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include "app/radio_group.h"
#include "app/tbitbtn_ez.h"

namespace lumora::app {

// X(type, name) for every control in the table.
#define LUMORA_FORM1_CONTROLS(X)                                           \
    /* Right column. */                                                    \
    X(QComboBox, ComComboBox1)                                             \
    X(QPushButton, CNTBtn)                                                 \
    X(QPushButton, Button10)                                               \
    X(QPushButton, Button12)                                               \
    X(QLabel, ResLabel)                                                    \
    X(QGroupBox, SavetoBoxGroupBox)                                        \
    X(QPushButton, SavetoBox1)                                             \
    X(QPushButton, SavetoBox2)                                             \
    X(QPushButton, SavetoBox3)                                             \
    X(QPushButton, SavetoBox4)                                             \
    X(QPushButton, SavetoBox5)                                             \
    X(QPushButton, SavetoBox6)                                             \
    X(QPushButton, SavetoBox7)                                             \
    X(QPushButton, SavetoBox8)                                             \
    X(QPushButton, SavetoBox9)                                             \
    X(QPushButton, SavetoBox10)                                            \
    X(QProgressBar, TransferProgress)                                      \
    /* The halves and their pages. */                                      \
    X(QGroupBox, GroupBox9)                                                \
    X(QGroupBox, GroupBox6)                                                \
    X(QTabWidget, PageControl1)                                            \
    X(QTabWidget, PageControl2)                                            \
    X(QWidget, TabSheet7)                                                  \
    X(QWidget, TabSheet8)                                                  \
    X(QWidget, TabSheet14)                                                 \
    X(QWidget, TabSheet13)                                                 \
    X(QWidget, TabSheet2)                                                  \
    X(QWidget, TabSheet4)                                                  \
    X(QWidget, TabSheet5)                                                  \
    X(QWidget, TabSheet6)                                                  \
    X(QWidget, TabSheet9)                                                  \
    X(QWidget, TabSheet11)                                                 \
    X(QGroupBox, GroupBox3)                                                \
    X(QGroupBox, GroupBox14)                                               \
    X(QGroupBox, GroupBox15)                                               \
    X(QGroupBox, GroupBox16)                                               \
    X(QGroupBox, GroupBox17)                                               \
    X(QGroupBox, GroupBox18)                                               \
    X(QGroupBox, GroupBox19)                                               \
    X(QGroupBox, GroupBox20)                                               \
    /* "Warp adjust": grid sizes, Internal Grid, Show Grid, the arrows. */ \
    X(QToolButton, WP2x2A)                                                 \
    X(QToolButton, WP5x5A)                                                 \
    X(QToolButton, WP9x9A)                                                 \
    X(QToolButton, WP17x17A)                                               \
    X(QToolButton, WP2x2B)                                                 \
    X(QToolButton, WP5x5B)                                                 \
    X(QToolButton, WP9x9B)                                                 \
    X(QToolButton, WP17x17B)                                               \
    X(QAbstractButton, InterGridA)                                         \
    X(QAbstractButton, InterGridB)                                         \
    X(QAbstractButton, ShowGridA)                                          \
    X(QAbstractButton, ShowGridB)                                          \
    X(TBitBtnEZ, BitBtn1)                                                  \
    X(TBitBtnEZ, BitBtn2)                                                  \
    X(TBitBtnEZ, BitBtn3)                                                  \
    X(TBitBtnEZ, BitBtn4)                                                  \
    X(TBitBtnEZ, BitBtn5)                                                  \
    X(TBitBtnEZ, BitBtn6)                                                  \
    X(TBitBtnEZ, BitBtn7)                                                  \
    X(TBitBtnEZ, BitBtn8)                                                  \
    X(TBitBtnEZ, BitBtn9)                                                  \
    X(TBitBtnEZ, BitBtn10)                                                 \
    X(TBitBtnEZ, BitBtn11)                                                 \
    X(TBitBtnEZ, BitBtn12)                                                 \
    X(TBitBtnEZ, BitBtn13)                                                 \
    X(TBitBtnEZ, BitBtn14)                                                 \
    X(TBitBtnEZ, BitBtn15)                                                 \
    X(TBitBtnEZ, BitBtn16)                                                 \
    X(TBitBtnEZ, BitBtn17)                                                 \
    X(TBitBtnEZ, BitBtn18)                                                 \
    X(TBitBtnEZ, BitBtn19)                                                 \
    X(TBitBtnEZ, BitBtn20)                                                 \
    X(QSlider, TBStepA)                                                    \
    X(QSlider, TBStepB)                                                    \
    X(QLabel, STStep)                                                      \
    X(QLabel, STStepB)                                                     \
    X(QPushButton, Button7)                                                \
    X(QPushButton, Button11)                                               \
    X(QPushButton, Button20)                                               \
    X(QPushButton, Button15)                                               \
    /* "Warp Shift": buttons, "x10" boxes, value labels. */                \
    X(TBitBtnEZ, TLShiftUpBtnA)                                            \
    X(TBitBtnEZ, TLShiftDownBtnA)                                          \
    X(TBitBtnEZ, TLShiftLeftBtnA)                                          \
    X(TBitBtnEZ, TLShiftRightBtnA)                                         \
    X(QCheckBox, TLX10A)                                                   \
    X(TBitBtnEZ, TLShiftUpBtnB)                                            \
    X(TBitBtnEZ, TLShiftDownBtnB)                                          \
    X(TBitBtnEZ, TLShiftLeftBtnB)                                          \
    X(TBitBtnEZ, TLShiftRightBtnB)                                         \
    X(QCheckBox, TLX10B)                                                   \
    X(TBitBtnEZ, TRShiftUpBtnA)                                            \
    X(TBitBtnEZ, TRShiftDownBtnA)                                          \
    X(TBitBtnEZ, TRShiftLeftBtnA)                                          \
    X(TBitBtnEZ, TRShiftRightBtnA)                                         \
    X(QCheckBox, TRX10A)                                                   \
    X(TBitBtnEZ, TRShiftUpBtnB)                                            \
    X(TBitBtnEZ, TRShiftDownBtnB)                                          \
    X(TBitBtnEZ, TRShiftLeftBtnB)                                          \
    X(TBitBtnEZ, TRShiftRightBtnB)                                         \
    X(QCheckBox, TRX10B)                                                   \
    X(TBitBtnEZ, BLShiftUpBtnA)                                            \
    X(TBitBtnEZ, BLShiftDownBtnA)                                          \
    X(TBitBtnEZ, BLShiftLeftBtnA)                                          \
    X(TBitBtnEZ, BLShiftRightBtnA)                                         \
    X(QCheckBox, BLX10A)                                                   \
    X(TBitBtnEZ, BLShiftUpBtnB)                                            \
    X(TBitBtnEZ, BLShiftDownBtnB)                                          \
    X(TBitBtnEZ, BLShiftLeftBtnB)                                          \
    X(TBitBtnEZ, BLShiftRightBtnB)                                         \
    X(QCheckBox, BLX10B)                                                   \
    X(TBitBtnEZ, BRShiftUpBtnA)                                            \
    X(TBitBtnEZ, BRShiftDownBtnA)                                          \
    X(TBitBtnEZ, BRShiftLeftBtnA)                                          \
    X(TBitBtnEZ, BRShiftRightBtnA)                                         \
    X(QCheckBox, BRX10A)                                                   \
    X(TBitBtnEZ, BRShiftUpBtnB)                                            \
    X(TBitBtnEZ, BRShiftDownBtnB)                                          \
    X(TBitBtnEZ, BRShiftLeftBtnB)                                          \
    X(TBitBtnEZ, BRShiftRightBtnB)                                         \
    X(QCheckBox, BRX10B)                                                   \
    X(QLabel, TLShiftXValueA)                                              \
    X(QLabel, TLShiftXValueB)                                              \
    X(QLabel, TLShiftYValueA)                                              \
    X(QLabel, TLShiftYValueB)                                              \
    X(QLabel, BLShiftXValueA)                                              \
    X(QLabel, BLShiftXValueB)                                              \
    X(QLabel, BLShiftYValueA)                                              \
    X(QLabel, BLShiftYValueB)                                              \
    X(QLabel, TRShiftXValueA)                                              \
    X(QLabel, TRShiftXValueB)                                              \
    X(QLabel, TRShiftYValueA)                                              \
    X(QLabel, TRShiftYValueB)                                              \
    X(QLabel, BRShiftXValueA)                                              \
    X(QLabel, BRShiftXValueB)                                              \
    X(QLabel, BRShiftYValueA)                                              \
    X(QLabel, BRShiftYValueB)                                              \
    /* "Pattern". */                                                       \
    X(RadioGroup, RGPtnColor)                                              \
    X(RadioGroup, RGPtnColor1)                                             \
    X(QCheckBox, CBEnablePattern)                                          \
    X(QCheckBox, CBEnablePattern1)                                         \
    X(QScrollBar, SBarHGridSize)                                           \
    X(QScrollBar, SBarVGridSize)                                           \
    X(QScrollBar, SBarHGridSize1)                                          \
    X(QScrollBar, SBarVGridSize1)                                          \
    X(QLabel, STPtnHGridSize)                                              \
    X(QLabel, STPtnVGridSize)                                              \
    X(QLabel, STPtnHGridSize1)                                             \
    X(QLabel, STPtnVGridSize1)                                             \
    /* "Uniformity". */                                                    \
    X(QSlider, UniGainValueA)                                              \
    X(QLabel, STUnGainA)                                                   \
    X(QSlider, UnOffsetValueA)                                             \
    X(QLabel, STUnOffsetA)                                                 \
    X(QCheckBox, CBUniformityEnableA)                                      \
    X(QPushButton, ResetUniformityA)                                       \
    X(QPushButton, UnUpdateA)                                              \
    X(QCheckBox, UniAutoRptA)                                              \
    X(QScrollBar, UCXPosA)                                                 \
    X(QLabel, STUCXPosA)                                                   \
    X(QSlider, UniGainValueB)                                              \
    X(QLabel, STUnGainB)                                                   \
    X(QSlider, UnOffsetValueB)                                             \
    X(QLabel, STUnOffsetB)                                                 \
    X(QCheckBox, CBUniformityEnableB)                                      \
    X(QPushButton, ResetUniformityB)                                       \
    X(QPushButton, UnUpdateB)                                              \
    X(QCheckBox, UniAutoRptB)                                              \
    X(QScrollBar, UCXPosB)                                                 \
    X(QLabel, STUCXPosB)                                                   \
    X(TBitBtnEZ, BitBtn21)                                                 \
    X(TBitBtnEZ, BitBtn22)                                                 \
    X(TBitBtnEZ, BitBtn23)                                                 \
    X(TBitBtnEZ, BitBtn24)                                                 \
    X(TBitBtnEZ, BitBtn25)                                                 \
    X(TBitBtnEZ, BitBtn26)                                                 \
    X(TBitBtnEZ, BitBtn27)                                                 \
    X(TBitBtnEZ, BitBtn28)                                                 \
    X(QWidget, TabSheet10)                                                 \
    /* "Edge Blend". */                                                    \
    X(QCheckBox, CheckBox1)                                                \
    X(QCheckBox, CheckBox2)                                                \
    X(QCheckBox, CheckBox3)                                                \
    X(QCheckBox, CheckBox4)                                                \
    X(QCheckBox, CheckBox5)                                                \
    X(QCheckBox, CheckBox6)                                                \
    X(QCheckBox, CheckBox7)                                                \
    X(QCheckBox, CheckBox8)                                                \
    X(QScrollBar, EBSBar1)                                                 \
    X(QScrollBar, EBSBar2)                                                 \
    X(QScrollBar, EBSBar3)                                                 \
    X(QScrollBar, EBSBar4)                                                 \
    X(QScrollBar, EBSBar5)                                                 \
    X(QScrollBar, EBSBar6)                                                 \
    X(QScrollBar, EBSBar7)                                                 \
    X(QScrollBar, EBSBar8)                                                 \
    X(QLabel, StaticText1)                                                 \
    X(QLabel, StaticText2)                                                 \
    X(QLabel, StaticText3)                                                 \
    X(QLabel, StaticText4)                                                 \
    X(QLabel, StaticText5)                                                 \
    X(QLabel, StaticText6)                                                 \
    X(QLabel, StaticText7)                                                 \
    X(QLabel, StaticText8)                                                 \
    X(QCheckBox, EBMarkerCb)                                               \
    X(QScrollBar, TransitionSBar)                                          \
    X(QLabel, EBOTranVal)                                                  \
    X(QScrollBar, NonTransitionSBar)                                       \
    X(QLabel, EBONTranVal)                                                 \
    X(QScrollBar, GammaSCBar)                                              \
    X(QLabel, TransGammaVal)                                               \
    X(QCheckBox, EBMarkerCb1)                                              \
    X(QScrollBar, TransitionSBar1)                                         \
    X(QLabel, EBOTranVal1)                                                 \
    X(QScrollBar, NonTransitionSBar1)                                      \
    X(QLabel, EBONTranVal1)                                                \
    X(QScrollBar, GammaSCBar1)                                             \
    X(QLabel, TransGammaVal1)                                              \
    /* "Color adjust" and "Color Adjust". */                               \
    X(QCheckBox, InGainEnableCB)                                           \
    X(QSlider, InGainRBar)                                                 \
    X(QLabel, InGainRVal)                                                  \
    X(QSlider, InGainGBar)                                                 \
    X(QLabel, InGainGVal)                                                  \
    X(QSlider, InGainBBar)                                                 \
    X(QLabel, InGainBVal)                                                  \
    X(QSlider, InOffsetRBar)                                               \
    X(QLabel, InOffsetRVal)                                                \
    X(QSlider, InOffsetGBar)                                               \
    X(QLabel, InOffsetGVal)                                                \
    X(QSlider, InOffsetBBar)                                               \
    X(QLabel, InOffsetBVal)                                                \
    X(QCheckBox, InGainEnableCB1)                                          \
    X(QSlider, InGainRBar1)                                                \
    X(QLabel, InGainRVal1)                                                 \
    X(QSlider, InGainGBar1)                                                \
    X(QLabel, InGainGVal1)                                                 \
    X(QSlider, InGainBBar1)                                                \
    X(QLabel, InGainBVal1)                                                 \
    X(QSlider, InOffsetRBar1)                                              \
    X(QLabel, InOffsetRVal1)                                               \
    X(QSlider, InOffsetGBar1)                                              \
    X(QLabel, InOffsetGVal1)                                               \
    X(QSlider, InOffsetBBar1)                                              \
    X(QLabel, InOffsetBVal1)                                               \
    /* The four-corner page's points. */                                   \
    X(QRadioButton, RBCur0)                                                \
    X(QRadioButton, RBCur1)                                                \
    X(QRadioButton, RBCur2)                                                \
    X(QRadioButton, RBCur3)                                                \
    X(QRadioButton, RBCur4)                                                \
    X(QRadioButton, RBCur5)                                                \
    X(QRadioButton, RBCur6)                                                \
    X(QRadioButton, RBCur7)                                                \
    X(QRadioButton, RBCur8)                                                \
    X(QRadioButton, RBCur9)                                                \
    X(QRadioButton, RBCur10)                                               \
    X(QRadioButton, RBCur11)                                               \
    X(QRadioButton, RBCur12)                                               \
    X(QRadioButton, RBCur13)                                               \
    X(QRadioButton, RBCur14)                                               \
    /* The four-corner pages' other controls. */                           \
    X(QWidget, TabSheet1)                                                  \
    X(QWidget, TabSheet3)                                                  \
    X(QComboBox, CBWarpMode)                                               \
    X(QComboBox, ComboBox1)                                                \
    X(QSlider, ChangeStepBar)                                              \
    X(QSlider, TrackBar1)                                                  \
    X(QLabel, StepLabel)                                                   \
    X(QLabel, StepLabel1)                                                  \
    X(QPushButton, WarpUpBtn)                                              \
    X(QPushButton, WarpLeftBtn)                                            \
    X(QPushButton, WarpDownBtn)                                            \
    X(QPushButton, WarpRightBtn)                                           \
    X(QPushButton, Button21)                                               \
    X(QPushButton, Button22)                                               \
    X(QPushButton, Button23)                                               \
    X(QPushButton, Button19)                                               \
    X(QPushButton, Button2)                                                \
    X(QPushButton, Button24)                                               \
    X(QRadioButton, RadioButton1)                                          \
    X(QRadioButton, RadioButton2)                                          \
    X(QRadioButton, RadioButton3)                                          \
    X(QRadioButton, RadioButton4)                                          \
    X(QRadioButton, RadioButton5)                                          \
    X(QRadioButton, RadioButton6)                                          \
    X(QRadioButton, RadioButton7)                                          \
    X(QRadioButton, RadioButton8)                                          \
    X(QRadioButton, RadioButton9)                                          \
    X(QRadioButton, RadioButton10)                                         \
    X(QRadioButton, RadioButton11)                                         \
    X(QRadioButton, RadioButton12)                                         \
    X(QRadioButton, RadioButton13)                                         \
    X(QRadioButton, RadioButton14)                                         \
    X(QRadioButton, RadioButton15)                                         \
    /* Outside the visible area. */                                        \
    X(QPlainTextEdit, Memo1)                                               \
    X(RadioGroup, RGChannel)                                               \
    X(QLineEdit, InputBox)                                                 \
    X(QPushButton, Button1)                                                \
    X(QPushButton, Button3)                                                \
    X(QPushButton, Button4)                                                \
    X(QPushButton, Button5)                                                \
    X(QPushButton, Button6)                                                \
    X(QPushButton, Button8)                                                \
    X(QPushButton, Button9)                                                \
    X(QPushButton, Button13)                                               \
    X(QPushButton, Button14)                                               \
    X(QPushButton, Button16)                                               \
    X(QPushButton, Button17)                                               \
    X(QPushButton, Button18)                                               \
    X(QCheckBox, CBHorLine)                                                \
    X(QCheckBox, CBVLine)                                                  \
    X(TBitBtnEZ, BitBtn29)                                                 \
    X(QPushButton, Button35)                                               \
    X(TBitBtnEZ, BitBtnEZ1)

struct Form1Controls {
#define LUMORA_DECLARE_CONTROL(type, name) type* name = nullptr;
    LUMORA_FORM1_CONTROLS(LUMORA_DECLARE_CONTROL)
#undef LUMORA_DECLARE_CONTROL
};

// Fills the table from the controls of `form`; throws std::logic_error
// naming the first control that is missing or of another class.
Form1Controls FindForm1Controls(QWidget* form);

}  // namespace lumora::app
