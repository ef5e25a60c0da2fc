// The window's own control classes: the bitmap button and the radio group.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include <string>
#include <vector>

#include "app/radio_group.h"
#include "app/tbitbtn_ez.h"

using lumora::app::RadioGroup;
using lumora::app::TBitBtnEZ;

namespace {

// Records the button's signals in the order they arrive.
struct ButtonLog {
    explicit ButtonLog(TBitBtnEZ& button) {
        QObject::connect(&button, &TBitBtnEZ::mousePressed, [this](Qt::MouseButton b) {
            events.push_back("press " + std::to_string(b));
        });
        QObject::connect(&button, &TBitBtnEZ::mouseReleased, [this](Qt::MouseButton b) {
            events.push_back("release " + std::to_string(b));
        });
        QObject::connect(&button, &TBitBtnEZ::clicked, [this] { events.push_back("click"); });
        QObject::connect(&button, &TBitBtnEZ::mouseLeave, [this] { events.push_back("leave"); });
    }
    std::vector<std::string> events;
};

const std::string kLeft = std::to_string(Qt::LeftButton);
const std::string kRight = std::to_string(Qt::RightButton);

}  // namespace

TEST(TBitBtnEZ, ReportsPressClickReleaseAndLeaveInOrder) {
    TBitBtnEZ button;
    button.resize(40, 30);
    ButtonLog log(button);

    // The grid arrows move at the press and once more at the click, which
    // must come before the release that stops the repeat.
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_TRUE(button.isDown());
    QTest::mouseRelease(&button, Qt::LeftButton);
    // Other buttons are reported too (a corner-shift caption shows which one),
    // but do not click.
    QTest::mousePress(&button, Qt::RightButton);
    QTest::mouseRelease(&button, Qt::RightButton);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"press " + kLeft, "click", "release " + kLeft,
                                        "press " + kRight, "release " + kRight, "leave"}));
}

class RadioGroupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        group.setTitle("RGPtnColor");
        group.setColumns(4);
        group.setItems({"Red", "Cyan", "Greem", "Magenta", "Blue", "Yellow", "White"});
        group.resize(398, 70);
        group.show();
        QApplication::processEvents();
        QObject::connect(&group, &RadioGroup::itemClicked,
                         [this](int index) { clicked.push_back(index); });
        QObject::connect(&group, &RadioGroup::itemIndexChanged,
                         [this](int index) { changed.push_back(index); });
    }

    RadioGroup group;
    std::vector<int> clicked;
    std::vector<int> changed;
};

TEST_F(RadioGroupTest, ItemsFillColumnByColumn) {
    // Seven items in four columns: two per column, "White" alone in the last.
    const auto at = [this](int i) { return group.button(i)->geometry().topLeft(); };
    EXPECT_EQ(at(1).x(), at(0).x());
    EXPECT_GT(at(1).y(), at(0).y());
    EXPECT_EQ(at(2).y(), at(0).y());
    EXPECT_GT(at(2).x(), at(1).x());
    EXPECT_EQ(at(5).x(), at(4).x());
    EXPECT_EQ(at(6).y(), at(0).y());
    EXPECT_GT(at(6).x(), at(4).x());
    EXPECT_EQ(group.button(6)->text(), "White");
}

TEST_F(RadioGroupTest, IndexFollowsCodeAndClicks) {
    EXPECT_EQ(group.itemIndex(), -1);
    group.setItemIndex(6);
    EXPECT_EQ(group.itemIndex(), 6);
    EXPECT_TRUE(group.button(6)->isChecked());
    EXPECT_TRUE(clicked.empty());

    QTest::mouseClick(group.button(1), Qt::LeftButton);
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_FALSE(group.button(6)->isChecked());
    EXPECT_EQ(clicked, (std::vector<int>{1}));
    EXPECT_EQ(changed, (std::vector<int>{6, 1}));

    // Choosing the selected item again is a click but no change.
    QTest::mouseClick(group.button(1), Qt::LeftButton);
    EXPECT_EQ(clicked, (std::vector<int>{1, 1}));
    EXPECT_EQ(changed, (std::vector<int>{6, 1}));
}

TEST_F(RadioGroupTest, OutOfRangeIndexClearsSelection) {
    group.setItemIndex(3);
    group.setItemIndex(7);
    EXPECT_EQ(group.itemIndex(), -1);
    for (int i = 0; i < group.count(); ++i) {
        EXPECT_FALSE(group.button(i)->isChecked()) << i;
    }
    group.setItemIndex(-1);
    EXPECT_EQ(changed, (std::vector<int>{3, -1}));

    // Still exclusive after the clear.
    group.setItemIndex(0);
    group.setItemIndex(2);
    EXPECT_FALSE(group.button(0)->isChecked());
}
