#include "app/CAboutDlg.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>

#include "controls/CIconButton.h"
#include "pages/PageTexts.h"
#include "resources/Icons.h"
#include "wizard/DialogControls.h"
#include "wizard/DialogFonts.h"
#include "wizard/DialogUnits.h"

namespace vok {

namespace {

// About box (template 100), in dialog units.
constexpr int kIdcOk = 1;
constexpr std::string_view kAboutCaption = "About RemoteVOK";
constexpr std::string_view kAboutVersionText = "RemoteVOK Version 1.0";
constexpr std::string_view kAboutNoticeText = "Copyright (C) VOK Medical Systems Co., Ltd.";
constexpr std::string_view kOkText = "OK";
constexpr int kAboutWidth = 235;
constexpr int kAboutHeight = 55;
constexpr DlgPoint kAboutIconPos{11, 17};
constexpr DlgRect kAboutVersionRect{40, 10, 119, 8};
constexpr DlgRect kAboutNoticeRect{40, 25, 119, 16};
constexpr DlgRect kAboutOkRect{178, 7, 50, 16};

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setFont(DialogFonts::AboutFont());
    const DialogUnits units(font());
    setWindowTitle(PageTexts::Show(kAboutCaption));
    setFixedSize(units.Size(kAboutWidth, kAboutHeight));

    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::Pixmap(kIconApplication, kButtonIconSize, devicePixelRatioF()));
    icon->setGeometry(QRect(units.Point(kAboutIconPos), QSize(kButtonIconSize, kButtonIconSize)));

    auto* version = new QLabel(PageTexts::Show(kAboutVersionText), this);
    version->setTextFormat(Qt::PlainText);
    DialogControls::Place(version, this, kIdcStatic, kAboutVersionRect, units);

    auto* notice = new QLabel(PageTexts::Show(kAboutNoticeText), this);
    notice->setTextFormat(Qt::PlainText);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DialogControls::Place(notice, this, kIdcStatic, kAboutNoticeRect, units);
    // One line, as the maker's notice was written for: the faces that stand
    // in for the dialog font are wider, so the line may run on below the OK
    // button, up to the dialog's margin.
    const int needed = notice->fontMetrics().horizontalAdvance(notice->text()) + 1;
    const int margin = units.X(kAboutWidth - kAboutOkRect.x - kAboutOkRect.w);
    const int room = width() - notice->x() - margin;
    notice->resize(std::clamp(needed, notice->width(), std::max(notice->width(), room)),
                   notice->height());

    auto* ok = new QPushButton(PageTexts::Show(kOkText), this);
    ok->setDefault(true);
    DialogControls::Place(ok, this, kIdcOk, kAboutOkRect, units);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vok
