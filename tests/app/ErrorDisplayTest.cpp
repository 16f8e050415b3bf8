#include "app/ErrorDisplay.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "glyph/Errors.h"

namespace {

std::exception_ptr Thrown(auto&& thrower) {
    try {
        thrower();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

std::exception_ptr Error(const std::string& message) {
    return std::make_exception_ptr(glyph::EConvertError(message));
}

TEST(ErrorDisplay, EndsTheMessageWithAPeriodWhenItsLastCharacterIsAboveIt) {
    const std::pair<std::string, QString> cases[] = {
        {"''ab'' は整数ではありません", "''ab'' は整数ではありません."},
        {"ファイル /a は開けません。 No such file ", "ファイル /a は開けません。 No such file "},
        {"done.", "done."},
        {"what!", "what!"},
        {"a-", "a-"},
        {"a/", "a/."},
        {"9", "9."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(ErrorText(Error(message)), shown) << message;
}

TEST(ErrorDisplay, ShowsTheInnermostNonEmptyMessageOfANestedChain) {
    const auto chain = Thrown([] {
        try {
            try {
                throw glyph::EConvertError("inner");
            } catch (...) {
                std::throw_with_nested(glyph::EConvertError(""));
            }
        } catch (...) {
            std::throw_with_nested(glyph::EConvertError("outer"));
        }
    });
    EXPECT_EQ(ErrorText(chain), "inner.");

    const auto emptyInside = Thrown([] {
        try {
            throw glyph::EConvertError("");
        } catch (...) {
            std::throw_with_nested(glyph::EConvertError("outer"));
        }
    });
    EXPECT_EQ(ErrorText(emptyInside), "outer.");
}

TEST(ErrorDisplay, ForeignObjectsShowAnEmptyMessage) {
    EXPECT_EQ(ErrorText(std::make_exception_ptr(42)), "");
    EXPECT_EQ(ErrorText(std::make_exception_ptr(std::runtime_error("x"))), "");
    EXPECT_EQ(ErrorText(nullptr), "");
}

TEST(ErrorDisplay, ShowsOneModalCriticalBoxWithTheTitleAndAnOkButton) {
    QWidget owner;
    owner.show();
    owner.activateWindow();
    QString title, text;
    int buttons = -1;
    bool modal = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        modal = box->windowModality() == Qt::ApplicationModal;
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    ShowError(Error("''ab'' は整数ではありません"), "Fonteditor");
    EXPECT_EQ(title, "Fonteditor");
    EXPECT_EQ(text, "''ab'' は整数ではありません.");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(modal);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A path that looks like HTML is shown as typed, not as markup.
TEST(ErrorDisplay, ShowsTheTextPlainEvenWhenItLooksLikeHtml) {
    const std::string message = "ファイル /tmp/a<br>b<b>c</b>&amp;.dat は開けません。 x ";
    QString shown;
    Qt::TextFormat format = Qt::RichText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        shown = label->text();
        format = label->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    ShowError(Error(message), "Fonteditor");
    EXPECT_EQ(shown, QString::fromStdString(message));
    EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
