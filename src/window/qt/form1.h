#pragma once

#include "window/button_label_array.h"
#include "window/toolkit.h"

#include <QTimer>
#include <QWidget>

#include <string>

class QLabel;
class QPushButton;

namespace kivo {

// Kivo's one window and its controls, drawn with Qt Widgets. A plain top-level widget rather
// than a QDialog, so that Escape typed into it cannot hide it past the close path.
class Form1 final : public QWidget, public Toolkit {
public:
    Form1();

    bool exists(int index) const override;
    std::string caption(int index) const override;
    void setCaption(int index, std::string_view caption) override;
    void setBold(int index, bool bold) override;

    void createLabel(int index) override;
    void setLabelVisible(int index, bool visible) override;
    bool labelVisible(int index) const override;
    TwipsRect labelRect(int index) const override;
    void setLabelRect(int index, TwipsRect rect) override;

    float outerWidth() const override { return outerWidth_; }
    float outerHeight() const override { return design::kOuterHeight; }
    void setOuterWidth(float width) override;

    void setEvents(WindowEvents* events) override { events_ = events; }
    bool askYesNo(std::string_view question) override;
    void focusCommand3() override;
    void setTimerEnabled(bool enabled) override;
    void leaveEventLoop(int exitCode) override;
    WindowHandle nativeHandle() const override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    using ButtonLabel = ButtonLabelArray<QLabel*>::Label;

    void buildControls();
    void showBold(ButtonLabel& label);
    QLabel* addLabel(const char* name, const char* caption, TwipsRect rect);
    void addInstructions();
    QPushButton* addButton(const char* name, const char* caption, TwipsRect rect);
    ButtonLabel makeButtonLabel(int index);
    void place(QWidget* widget, TwipsRect rect) const;
    void applyClientSize();
    int toPixelsX(float twips) const;
    int toPixelsY(float twips) const;

    ButtonLabelArray<QLabel*> labels_;
    QPushButton* command1_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QTimer timer1_;
    float outerWidth_ = design::kOuterWidth;
    double dpiX_ = 96;
    double dpiY_ = 96;
    WindowEvents* events_ = nullptr;
};

}  // namespace kivo
