#include "prockill/Unit5.h"

#include <QHeaderView>

#include "framework/convert.h"
#include "framework/edit_combo.h"
#include "framework/handler_guard.h"
#include "framework/widgets.h"
#include "prockill/ProcessSnapshot.h"
#include "skin/SkinManager.h"

using platform::PROCESSENTRY32;

TForm5::TForm5(QWidget* owner, TSkinManager& skins, const TEditCombo& settingsSkinBox)
    : TForm(owner, QStringLiteral("Form5"), QStringLiteral("Ovlix: Process Killer")),
      skins_(skins),
      settingsSkinBox_(settingsSkinBox) {
  setFixedSize(387, 354);
  QFont sans(QStringLiteral("Liberation Sans"));
  sans.setStyleHint(QFont::SansSerif);
  sans.setPixelSize(11);
  setFont(sans);

  Timer1 = new TTimer(this, "Timer1", 10000, true);
  Timer1->OnTimer = [this] { Timer1Timer(); };
  timerx = new TTimer(this, "timerx", 2000, false);
  timerx->OnTimer = [this] { timerxTimer(); };
}

void TForm5::CreateControls() {
  MakeLabel(this, "sLabel1", "Právě spuštěné procesy:", {8, 8, 200, 14});
  lister = new QTableWidget(0, 2, this);
  lister->setObjectName(QStringLiteral("lister"));
  lister->setAccessibleName(QStringLiteral("lister"));
  lister->setGeometry(8, 24, 369, 289);
  lister->setHorizontalHeaderLabels({QStringLiteral("Program"), QStringLiteral("Číslo")});
  lister->setColumnWidth(0, 265);
  lister->setColumnWidth(1, 100);
  lister->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lister->verticalHeader()->hide();
  lister->verticalHeader()->setDefaultSectionSize(17);
  lister->setShowGrid(true);
  lister->setSelectionBehavior(QAbstractItemView::SelectRows);
  lister->setSelectionMode(QAbstractItemView::SingleSelection);
  lister->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sButton3 = MakeButton(this, "sButton3", "Kill program", {8, 320, 105, 25});
  sButton2 = MakeButton(this, "sButton2", "Obnov procesy", {120, 320, 97, 25});
  sButton1 = MakeButton(this, "sButton1", "Zavři killera", {240, 320, 137, 25});
  setTabOrder(lister, sButton3);
  setTabOrder(sButton3, sButton2);
  setTabOrder(sButton2, sButton1);
  Bind(sButton3, &QPushButton::clicked, this, &TForm5::Button1Click);
  Bind(sButton2, &QPushButton::clicked, this, &TForm5::Button3Click);
  Bind(sButton1, &QPushButton::clicked, this, &TForm5::Button2Click);
}

TForm5::~TForm5() {
  for (HANDLE h : rowHandles_) platform::CloseHandle(h);
}

void TForm5::FormShow() {
  CheckSavedSkin(skins_, settingsSkinBox_.Text());
  Button3Click();
}

void TForm5::Button3Click() {
  lister->setRowCount(0);
  std::vector<std::pair<QString, HANDLE>> rows;
  const Toolhelp32& api = Toolhelp32Api();
  HANDLE snapshot = api.CreateToolhelp32Snapshot ? api.CreateToolhelp32Snapshot(platform::TH32CS_SNAPPROCESS, 0) : 0;
  PROCESSENTRY32 entry;
  entry.dwSize = 296;
  if (api.Process32First) api.Process32First(snapshot, &entry);
  while (api.Process32Next && api.Process32Next(snapshot, &entry)) {
    HANDLE handle = platform::OpenProcess(platform::PROCESS_ALL_ACCESS, FALSE_, entry.th32ProcessID);
    rows.emplace_back(QString::fromStdString(ExeFileName(entry.szExeFile)), handle);
  }
  platform::CloseHandle(snapshot);

  // the rows go in at once: one model change instead of one a row
  lister->setRowCount(static_cast<int>(rows.size()));
  std::vector<HANDLE> opened;
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    HANDLE handle = rows[static_cast<std::size_t>(row)].second;
    lister->setItem(row, 0, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].first));
    lister->setItem(row, 1, new QTableWidgetItem(QString::number(handle)));
    if (handle != 0) opened.push_back(handle);
  }
  for (HANDLE h : rowHandles_) platform::CloseHandle(h);
  rowHandles_ = std::move(opened);
}

void TForm5::Button1Click() {
  QList<QTableWidgetItem*> selected = lister->selectedItems();
  if (selected.isEmpty()) return;
  QTableWidgetItem* number = lister->item(selected.front()->row(), 1);
  std::string text = number != nullptr ? number->text().toStdString() : std::string();
  timerx->SetEnabled(true);
  platform::TerminateProcess(static_cast<HANDLE>(StrToInt(text)), 0);
}

void TForm5::Button2Click() { close(); }

void TForm5::Timer1Timer() {
  if (Visible()) Button3Click();
}

void TForm5::timerxTimer() {
  Button3Click();
  timerx->SetEnabled(false);
}
