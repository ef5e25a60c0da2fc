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
