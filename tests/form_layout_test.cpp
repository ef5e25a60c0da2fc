// The main window's widget tree: the controls the window code finds by name,
// with their kind, caption, range and start state, on pages that fit their
// half of the fixed-size window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <set>
#include <stdexcept>
#include <vector>

#include "app/form_layout.h"
#include "app/radio_group.h"
#include "app/tbitbtn_ez.h"

using lumora::app::RadioGroup;
using lumora::app::TBitBtnEZ;

// Readable failure messages for Qt strings.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QStringList Numbered(const QString& stem, int first, int last) {
    QStringList names;
    for (int i = first; i <= last; ++i) {
        names << stem + QString::number(i);
    }
    return names;
}

// pattern "%1ShiftXValue%2" gives TLShiftXValueA, TLShiftXValueB, TRShiftXValueA, ...
QStringList CornerNames(const QString& pattern) {
    QStringList names;
    for (const char* corner : {"TL", "TR", "BL", "BR"}) {
        for (const char* channel : {"A", "B"}) {
            names << pattern.arg(corner, channel);
        }
    }
    return names;
}

class FormLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { lumora::app::BuildForm1(&form); }

    template <class T>
    T* get(const QString& name) {
        if (T* widget = form.findChild<T*>(name)) {
            return widget;
        }
        throw std::runtime_error("no control " + name.toStdString() + " of the expected kind");
    }
    int tag(const QString& name) { return get<QWidget>(name)->property("tag").toInt(); }

    QWidget form;
};

TEST_F(FormLayoutTest, WindowHalvesAndRightColumn) {
    EXPECT_EQ(form.size(), QSize(953, 343));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().family(), "MS Sans Serif");
    EXPECT_EQ(form.font().pointSize(), 8);

    EXPECT_EQ(get<QGroupBox>("GroupBox6")->geometry(), QRect(2, 1, 420, 340));
    EXPECT_EQ(get<QGroupBox>("GroupBox6")->title(), "Channel B");
    EXPECT_TRUE(get<QGroupBox>("GroupBox6")->isAncestorOf(get<QTabWidget>("PageControl2")));
    EXPECT_EQ(get<QGroupBox>("GroupBox9")->geometry(), QRect(426, 1, 420, 340));
    EXPECT_EQ(get<QGroupBox>("GroupBox9")->title(), "Channel A");
    EXPECT_TRUE(get<QGroupBox>("GroupBox9")->isAncestorOf(get<QTabWidget>("PageControl1")));

    EXPECT_EQ(get<QGroupBox>("GroupBox2")->title(), "COM PORT");
    EXPECT_TRUE(get<QGroupBox>("GroupBox2")->isAncestorOf(get<QComboBox>("ComComboBox1")));
    EXPECT_FALSE(get<QComboBox>("ComComboBox1")->isEditable());
    EXPECT_EQ(get<QLabel>("ResLabel")->text(), "- - - -");
    EXPECT_EQ(get<QPushButton>("CNTBtn")->text(), "Connect");
    EXPECT_EQ(get<QPushButton>("Button10")->text(), "Save file");
    EXPECT_EQ(get<QPushButton>("Button12")->text(), "Load file");

    auto* saveToBox = get<QGroupBox>("SavetoBoxGroupBox");
    EXPECT_EQ(saveToBox->title(), "Save to Box");
    EXPECT_FALSE(saveToBox->isEnabled());
    const auto buttons = saveToBox->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 10);
    for (QPushButton* button : buttons) {
        // "1" stores into slot 0, "10" into slot 9.
        EXPECT_EQ(button->property("tag").toInt(), button->text().toInt() - 1)
            << button->text().toStdString();
    }
}

TEST_F(FormLayoutTest, PagesInTabOrder) {
    const QStringList captions = {"Warp adjust", "Warp Shift", "Warp adjust", "Edge Blend",
                                  "Pattern",     "Uniformity", "Color adjust"};
    const QStringList pagesA = {"TabSheet7", "TabSheet14", "TabSheet1", "TabSheet2",
                                "TabSheet5", "TabSheet9",  "TabSheet11"};
    const QStringList pagesB = {"TabSheet8", "TabSheet13", "TabSheet3", "TabSheet4",
                                "TabSheet6", "TabSheet10", "TabSheet12"};
    for (const char* control : {"PageControl1", "PageControl2"}) {
        auto* pages = get<QTabWidget>(control);
        const bool isA = pages->objectName() == "PageControl1";
        ASSERT_EQ(pages->count(), 7) << control;
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(pages->widget(i)->objectName(), (isA ? pagesA : pagesB)[i]) << control;
            EXPECT_EQ(pages->tabText(i), (!isA && i == 6) ? "Color Adjust" : captions[i]);
            EXPECT_EQ(pages->isTabVisible(i), i != 2) << control << " tab " << i;
        }
        EXPECT_EQ(pages->currentIndex(), 0) << control;
        EXPECT_FALSE(pages->isEnabled()) << control;
    }
}

TEST_F(FormLayoutTest, NamesAreUnique) {
    std::set<QString> seen;
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        // Qt names the inner parts of its own controls, a tab bar's scroll buttons
        // for one, the same in every instance.
        const bool inner = name.startsWith("qt_") || qobject_cast<QTabBar*>(widget->parent());
        if (!name.isEmpty() && !inner) {
            EXPECT_TRUE(seen.insert(name).second) << name.toStdString();
        }
    }
}

TEST_F(FormLayoutTest, RangesAndStartValues) {
    struct Range {
        QStringList names;
        bool trackBar;
        int minimum, maximum, value;
        int pageStep;  // 0: left to the layout
        int tickInterval;
    };
    const QStringList gains = {"InGainRBar",  "InGainGBar",  "InGainBBar",
                               "InGainRBar1", "InGainGBar1", "InGainBBar1"};
    const QStringList offsets = {"InOffsetRBar",  "InOffsetGBar",  "InOffsetBBar",
                                 "InOffsetRBar1", "InOffsetGBar1", "InOffsetBBar1"};
    const std::vector<Range> ranges = {
        {Numbered("EBSBar", 1, 8), false, 50, 800, 50, 0, 0},
        {{"TransitionSBar", "TransitionSBar1", "NonTransitionSBar", "NonTransitionSBar1"},
         false,
         0,
         48,
         0,
         0,
         0},
        {{"GammaSCBar", "GammaSCBar1"}, false, 90, 250, 90, 10, 0},
        {{"SBarHGridSize", "SBarVGridSize", "SBarHGridSize1", "SBarVGridSize1"},
         false,
         0,
         255,
         32,
         8,
         0},
        {{"UCXPosA", "UCXPosB"}, false, 0, 31, 0, 0, 0},
        {{"TBStepA", "TBStepB"}, true, 1, 64, 16, 0, 0},
        {{"ChangeStepBar", "TrackBar1"}, true, 0, 49, 0, 0, 0},
        {{"UniGainValueA", "UniGainValueB"}, true, 0, 16383, 8191, 100, 1024},
        {{"UnOffsetValueA", "UnOffsetValueB"}, true, -512, 511, 0, 1, 64},
        {gains, true, 0, 2047, 512, 1, 64},
        {offsets, true, -512, 511, 0, 1, 64},
    };
    for (const Range& range : ranges) {
        for (const QString& name : range.names) {
            QAbstractSlider* bar = range.trackBar
                                       ? static_cast<QAbstractSlider*>(get<QSlider>(name))
                                       : get<QScrollBar>(name);
            const std::string id = name.toStdString();
            EXPECT_EQ(bar->orientation(), Qt::Horizontal) << id;
            EXPECT_EQ(bar->minimum(), range.minimum) << id;
            EXPECT_EQ(bar->maximum(), range.maximum) << id;
            EXPECT_EQ(bar->value(), range.value) << id;
            EXPECT_EQ(bar->pageStep(), range.pageStep == 0 ? bar->pageStep() : range.pageStep)
                << id;
            if (range.tickInterval != 0) {
                EXPECT_EQ(get<QSlider>(name)->tickInterval(), range.tickInterval) << id;
            }
        }
    }
    EXPECT_EQ(get<QScrollBar>("GammaSCBar")->singleStep(), 10);
    EXPECT_EQ(get<QScrollBar>("GammaSCBar1")->singleStep(), 10);

    const std::vector<std::pair<QStringList, QString>> readouts = {
        {Numbered("StaticText", 1, 8), "50"},
        {{"EBOTranVal", "EBOTranVal1", "EBONTranVal", "EBONTranVal1", "STUCXPosA"}, "0"},
        {{"TransGammaVal", "TransGammaVal1"}, "0.9"},
        {{"STPtnHGridSize", "STPtnVGridSize", "STPtnHGridSize1", "STPtnVGridSize1"}, "32"},
        {{"STStep", "STStepB"}, "16"},
        {{"STUnGainA"}, "1.0"},
        {{"STUnGainB", "STUnOffsetA", "STUnOffsetB"}, "0"},
        {{"InGainRVal", "InGainGVal", "InGainBVal", "InGainRVal1", "InGainGVal1", "InGainBVal1"},
         "512"},
        {{"InOffsetRVal", "InOffsetGVal", "InOffsetBVal", "InOffsetRVal1", "InOffsetBVal1"}, "0"},
        {CornerNames("%1ShiftXValue%2") << CornerNames("%1ShiftYValue%2"), "0"},
    };
    for (const auto& [names, value] : readouts) {
        for (const QString& name : names) {
            EXPECT_EQ(get<QLabel>(name)->text(), value) << name.toStdString();
        }
    }
}

TEST_F(FormLayoutTest, CaptionsAndStartStates) {
    // Trailing blanks are part of the captions.
    for (const char* name : {"GroupBox25", "GroupBox21"}) {
        EXPECT_EQ(get<QGroupBox>(name)->title(), "Top Left   ");
    }
    for (const char* name : {"GroupBox27", "GroupBox23"}) {
        EXPECT_EQ(get<QGroupBox>(name)->title(), "Bottom Left   ");
    }
    EXPECT_EQ(get<QGroupBox>("GroupBox4")->title(), "Edge     ");
    EXPECT_EQ(get<QGroupBox>("GroupBox8")->title(), "Edge     ");
    EXPECT_EQ(get<QCheckBox>("CBHorLine")->text(), "Horizontal center line ");
    EXPECT_EQ(get<QCheckBox>("CBVLine")->text(), "Vertical center line  ");
    // The gain groups are untitled: their check box stands in for the title.
    EXPECT_EQ(get<QGroupBox>("GroupBox17")->title(), "");
    EXPECT_EQ(get<QCheckBox>("InGainEnableCB1")->text(), "Gain");

    for (QCheckBox* box : form.findChildren<QCheckBox*>()) {
        const bool centreLine = box->objectName() == "CBHorLine" || box->objectName() == "CBVLine";
        EXPECT_EQ(box->isChecked(), centreLine) << box->objectName().toStdString();
    }
    for (const QString half : {"A", "B"}) {
        EXPECT_TRUE(get<QToolButton>("WP2x2" + half)->isChecked());
        get<QToolButton>("WP9x9" + half)->setChecked(true);
        EXPECT_FALSE(get<QToolButton>("WP2x2" + half)->isChecked()) << "one size down at a time";
    }

    for (const char* name : {"RGPtnColor", "RGPtnColor1"}) {
        auto* colours = get<RadioGroup>(name);
        EXPECT_EQ(colours->items(),
                  QStringList({"Red", "Cyan", "Greem", "Magenta", "Blue", "Yellow", "White"}));
        EXPECT_EQ(colours->columns(), 4);
        EXPECT_EQ(colours->itemIndex(), 6);
    }
    EXPECT_EQ(get<RadioGroup>("RGChannel")->items(),
              QStringList({"Channel A", "Channel B", "All"}));
    EXPECT_EQ(get<RadioGroup>("RGChannel")->itemIndex(), 0);

    for (const char* name : {"CBWarpMode", "ComboBox1"}) {
        auto* mode = get<QComboBox>(name);
        ASSERT_EQ(mode->count(), 3);
        EXPECT_EQ(mode->itemText(2), "5x3");
        EXPECT_EQ(mode->currentIndex(), 0);
    }
    for (int i = 0; i < 15; ++i) {
        const QString caption = i == 4    ? "Top Right"
                                : i == 10 ? "Bottom Left"
                                : i == 14 ? "Bottom Right"
                                          : "Top Left";
        EXPECT_EQ(get<QRadioButton>("RBCur" + QString::number(i))->text(), caption);
        EXPECT_EQ(get<QRadioButton>("RadioButton" + QString::number(i + 1))->text(), caption);
    }

    EXPECT_EQ(get<QPushButton>("ResetUniformityA")->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(get<QPushButton>("ResetUniformityB")->focusPolicy(), Qt::NoFocus);
    auto* memo = get<QPlainTextEdit>("Memo1");
    EXPECT_EQ(memo->toPlainText(), "Memo1");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(FormLayoutTest, Tags) {
    for (int e = 0; e < 4; ++e) {
        for (int channel = 0; channel < 2; ++channel) {
            const QString n = QString::number(channel * 4 + e + 1);
            EXPECT_EQ(tag("CheckBox" + n), e) << n.toStdString();
            EXPECT_EQ(tag("EBSBar" + n), e) << n.toStdString();
        }
    }
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(tag("RBCur" + QString::number(i)), i);
        EXPECT_EQ(tag("RadioButton" + QString::number(i + 1)), i);
    }
    // Four-corner moves: 0 up, 1 left, 2 down, 3 right.
    const QStringList movesA = {"WarpUpBtn", "WarpLeftBtn", "WarpDownBtn", "WarpRightBtn"};
    const QStringList movesB = {"Button21", "Button22", "Button23", "Button19"};
    const QStringList captions = {"Up", "Left", "Down", "Right"};
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(tag(movesA[t]), t);
        EXPECT_EQ(tag(movesB[t]), t);
        EXPECT_EQ(get<QPushButton>(movesB[t])->text(), captions[t]);
    }
    // UNDO takes its channel from the tag.
    EXPECT_EQ(get<QPushButton>("Button20")->text(), "UNDO");
    EXPECT_EQ(tag("Button20"), 0);
    EXPECT_EQ(get<QPushButton>("Button15")->text(), "UNDO");
    EXPECT_EQ(tag("Button15"), 1);
}

TEST_F(FormLayoutTest, ArrowButtonsPointTheirWay) {
    const std::vector<std::pair<QStringList, QStyle::StandardPixmap>> arrows = {
        {QStringList{"BitBtn5", "BitBtn13", "BitBtn4", "BitBtn11", "BitBtn18", "BitBtn21",
                     "BitBtn25"}
             << CornerNames("%1ShiftUpBtn%2"),
         QStyle::SP_ArrowUp},
        {QStringList{"BitBtn7", "BitBtn14", "BitBtn2", "BitBtn12", "BitBtn19", "BitBtn23",
                     "BitBtn26"}
             << CornerNames("%1ShiftDownBtn%2"),
         QStyle::SP_ArrowDown},
        {QStringList{"BitBtn6", "BitBtn16", "BitBtn1", "BitBtn10", "BitBtn17", "BitBtn22",
                     "BitBtn28"}
             << CornerNames("%1ShiftLeftBtn%2"),
         QStyle::SP_ArrowLeft},
        {QStringList{"BitBtn8", "BitBtn15", "BitBtn3", "BitBtn9", "BitBtn20", "BitBtn24",
                     "BitBtn27"}
             << CornerNames("%1ShiftRightBtn%2"),
         QStyle::SP_ArrowRight},
    };
    for (const auto& [names, pixmap] : arrows) {
        const QImage expected = form.style()->standardIcon(pixmap).pixmap(16).toImage();
        for (const QString& name : names) {
            auto* button = get<TBitBtnEZ>(name);
            EXPECT_EQ(button->icon().pixmap(16).toImage(), expected) << name.toStdString();
            EXPECT_TRUE(button->text().isEmpty()) << name.toStdString();
            EXPECT_FALSE(button->toolTip().isEmpty()) << name.toStdString();
        }
    }
}

TEST_F(FormLayoutTest, ServiceControlsLieBelowTheClientArea) {
    const QStringList hidden =
        QStringList{"Memo1",    "RGChannel", "InputBox", "CBHorLine", "CBVLine",
                    "BitBtn29", "BitBtnEZ1", "Panel1",   "Panel2"}
        << Numbered("Button", 3, 6) << "Button1"
        << "Button8"
        << "Button9"
        << "Button13"
        << "Button14" << Numbered("Button", 16, 18) << "Button35";
    for (const QString& name : hidden) {
        auto* widget = get<QWidget>(name);
        EXPECT_EQ(widget->parentWidget(), &form) << name.toStdString();
        EXPECT_GE(widget->y(), 343) << name.toStdString();
        EXPECT_TRUE(widget->isVisibleTo(&form)) << name.toStdString();
        if (name.startsWith("Button")) {
            EXPECT_EQ(get<QPushButton>(name)->text(), name);
        }
    }
    EXPECT_TRUE(get<QWidget>("Panel1")->isAncestorOf(get<QScrollBar>("UCXPosA")));
    EXPECT_TRUE(get<QWidget>("Panel2")->isAncestorOf(get<QScrollBar>("UCXPosB")));
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!hidden.contains(child->objectName())) {
            EXPECT_TRUE(form.rect().contains(child->geometry()))
                << child->objectName().toStdString();
        }
    }
}

// Nothing sticks out of its parent, no two neighbours overlap and no caption
// is cut off.
void ExpectTidy(QWidget* parent, const std::string& page) {
    const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < children.size(); ++i) {
        QWidget* child = children[i];
        if (!child->isVisible()) {
            continue;
        }
        const std::string id = page + "/" + child->objectName().toStdString() + " (" +
                               child->metaObject()->className() + ")";
        EXPECT_TRUE(parent->rect().contains(child->geometry())) << id;
        for (int j = i + 1; j < children.size(); ++j) {
            if (children[j]->isVisible()) {
                EXPECT_FALSE(child->geometry().intersects(children[j]->geometry()))
                    << id << " and " << children[j]->objectName().toStdString();
            }
        }
        if (qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child) ||
            qobject_cast<QRadioButton*>(child)) {
            EXPECT_LE(child->sizeHint().width(), child->width()) << id;
        }
        if (auto* group = qobject_cast<QGroupBox*>(child)) {
            EXPECT_LT(group->fontMetrics().horizontalAdvance(group->title()), group->width()) << id;
        }
        ExpectTidy(child, page);
    }
}

TEST_F(FormLayoutTest, PagesFitTheirHalfInTheFormsFont) {
    form.show();
    for (const char* control : {"PageControl1", "PageControl2"}) {
        auto* pages = get<QTabWidget>(control);
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            ExpectTidy(pages->widget(i), pages->widget(i)->objectName().toStdString());
        }
        // Every visible tab shows its whole caption.
        QTabBar* bar = pages->tabBar();
        const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->isTabVisible(i)) {
                EXPECT_GE(bar->tabRect(i).width(),
                          bar->fontMetrics().horizontalAdvance(pages->tabText(i)) + padding)
                    << control << " tab " << i;
                EXPECT_LE(bar->tabRect(i).right(), bar->width()) << control << " tab " << i;
            }
        }
    }
    ExpectTidy(get<QWidget>("GroupBox2"), "GroupBox2");
    ExpectTidy(get<QWidget>("SavetoBoxGroupBox"), "SavetoBoxGroupBox");
}

}  // namespace
