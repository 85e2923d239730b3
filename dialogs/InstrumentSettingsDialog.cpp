// The instrument and drum settings dialog `winInst`: waves, pi flags and frequencies of a song's channels.
#include "dialogs/InstrumentSettingsDialog.h"

#include "dialogs/PlacedWidgets.h"
#include "song/DrumSet.h"
#include "dialogs/SampleSketches.h"
#include "song/OrgLayout.h"
#include "song/TypedNumber.h"
#include "song/WaveCatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QWindow>

namespace tromel::dialogs {
namespace {

QStringList drumNames() {
    QStringList names;
    for (std::string_view name : tromel::drumNames)
        names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return names;
}

QStringList waveNames() {
    QStringList names;
    for (int wave = 0; wave < InstrumentSettingsDialog::waveCount; ++wave)
        names << QStringLiteral("Wave %1").arg(wave);
    return names;
}

template <typename Widget>
Widget* named(Widget* widget, const char* name, int column) {
    widget->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(column));
    return widget;
}

int columnLeft(int column) {
    return 8 + 80 * column;
}

// The strip under the written controls: a row of pictures and Listen buttons per kind.
constexpr int stripTop = 432;
constexpr int stripRowPitch = 30;
constexpr int pictureWidth = 36;
constexpr int pictureHeight = 24;
constexpr int dialogHeightWithStrip = stripTop + 2 * stripRowPitch + 4;

bool isIndexOf(int32_t value, int count) {
    return value >= 0 && value < count;
}

// The program's one dialog has no parent window, so it is put over the window that called it.
void placeOver(QWidget* dialog, QWidget* caller) {
    if (!caller)
        return;
    QWidget* callerWindow = caller->window();
    dialog->move(callerWindow->frameGeometry().center() - dialog->rect().center());
    dialog->winId();
    if (dialog->windowHandle() && callerWindow->windowHandle())
        dialog->windowHandle()->setTransientParent(callerWindow->windowHandle());
}

}  // namespace

InstrumentSettingsDialog::InstrumentSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winInst"));
    setWindowTitle(QStringLiteral("Instruments/Drums"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setClientSize(this, 649, dialogHeightWithStrip);
    placedLabel(this, QStringLiteral("Instruments"), 8, 8, 65, 17);
    placedLabel(this, QStringLiteral("Freq."), 24, 264, 41, 17);
    placedLabel(this, QStringLiteral("Drums"), 8, 320, 65, 17);
    for (int i = 0; i < 8; ++i)
        createInstrumentColumn(i);
    for (int i = 0; i < 8; ++i)
        createDrumColumn(i);
    auto* command1 = placed(new QPushButton(QStringLiteral("Done"), this), 240, 392, 169, 25);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &InstrumentSettingsDialog::storeAndHide);
    createListenStrip();
}

InstrumentSettingsDialog::~InstrumentSettingsDialog() = default;

void InstrumentSettingsDialog::createListenStrip() {
    for (int kind = 0; kind < 2; ++kind) {
        const int top = stripTop + stripRowPitch * kind;
        for (int i = 0; i < 8; ++i) {
            auto* picture = placed(new QLabel(this), columnLeft(i), top, pictureWidth, pictureHeight);
            m_pictures[kind][static_cast<std::size_t>(i)] =
                named(picture, kind == 0 ? "pictureInst" : "pictureDrum", i);
            auto* listen = placed(new QPushButton(QStringLiteral("Listen"), this), columnLeft(i) + pictureWidth + 2,
                                  top + 2, 73 - pictureWidth - 2, pictureHeight - 4);
            listen->setAutoDefault(false);
            m_listenButtons[kind][static_cast<std::size_t>(i)] =
                named(listen, kind == 0 ? "listenInst" : "listenDrum", i);
            connect(listen, &QPushButton::clicked, this, [this, kind, i] {
                if (m_listen && chosen(kind, i) >= 0)
                    m_listen(kind, i, chosen(kind, i));
            });
        }
    }
    for (int i = 0; i < 8; ++i) {
        const auto c = static_cast<std::size_t>(i);
        connect(m_listInst[c], &QListWidget::currentRowChanged, this, [this, i] { showPicture(0, i); });
        connect(m_comboDrum[c], &QComboBox::currentIndexChanged, this, [this, i] { showPicture(1, i); });
    }
}

void InstrumentSettingsDialog::setSampleFolder(const std::filesystem::path& folder) {
    m_sketches = std::make_unique<SampleSketches>(folder, QSize(pictureWidth, pictureHeight));
    for (int kind = 0; kind < 2; ++kind)
        for (int i = 0; i < 8; ++i)
            showPicture(kind, i);
}

int InstrumentSettingsDialog::chosen(int kind, int channel) const {
    const auto c = static_cast<std::size_t>(channel);
    return kind == 0 ? m_listInst[c]->currentRow() : m_comboDrum[c]->currentIndex();
}

void InstrumentSettingsDialog::showPicture(int kind, int channel) {
    QLabel* picture = m_pictures[kind][static_cast<std::size_t>(channel)];
    const int number = chosen(kind, channel);
    if (!m_sketches || number < 0)
        picture->clear();
    else
        picture->setPixmap(QPixmap::fromImage(m_sketches->of(kind == 1, number)));
}

void InstrumentSettingsDialog::createInstrumentColumn(int i) {
    const int left = columnLeft(i);
    placedLabel(this, QString::number(i + 1), 24 + 80 * i, 32, 17, 17);
    auto& checkPi = m_checkPi[static_cast<std::size_t>(i)];
    checkPi = named(placed(new QCheckBox(QStringLiteral("Pi"), this), 40 + 80 * i, 32, 33, 17), "checkPi", i);
    auto& listInst = m_listInst[static_cast<std::size_t>(i)];
    listInst = named(placed(new QListWidget(this), left, 48, 73, 212), "listInst", i);
    listInst->addItems(waveNames());
    for (int wave = 0; wave < listInst->count(); ++wave)
        listInst->item(wave)->setToolTip(QString::fromStdString(describeWave(wave)));
    listInst->setSelectionMode(QAbstractItemView::SingleSelection);
    listInst->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto& textFreq = m_textFreqInst[static_cast<std::size_t>(i)];
    textFreq = named(placed(new QLineEdit(this), left, 280, 73, 19), "textFreqInst", i);
}

void InstrumentSettingsDialog::createDrumColumn(int i) {
    placedLabel(this, QString::number(i + 1), 32 + 80 * i, 344, 17, 17);
    auto& comboDrum = m_comboDrum[static_cast<std::size_t>(i)];
    comboDrum = named(placed(new QComboBox(this), columnLeft(i), 360, 73, 21), "comboDrum", i);
    comboDrum->addItems(drumNames());
}

void InstrumentSettingsDialog::editModally(InstrumentSettingsExchange& exchange, Listener listen) {
    m_exchange = &exchange;
    m_listen = std::move(listen);
    exec();
    m_listen = nullptr;
    m_exchange = nullptr;
}

void InstrumentSettingsDialog::showEvent(QShowEvent* event) {
    if (m_exchange)
        fillControls(*m_exchange);
    QDialog::showEvent(event);
}

void InstrumentSettingsDialog::fillControls(const InstrumentSettingsExchange& exchange) {
    for (std::size_t i = 0; i < 8; ++i) {
        const int32_t wave = exchange.instrumentWave[i];
        QListWidget* list = m_listInst[i];
        list->clearSelection();
        list->setCurrentRow(isIndexOf(wave, waveCount) ? wave : -1);
        if (list->currentItem())
            list->scrollToItem(list->currentItem());
        const int32_t drum = exchange.drumWave[i];
        m_comboDrum[i]->setCurrentIndex(isIndexOf(drum, drumCount) ? drum : -1);
        m_checkPi[i]->setChecked(exchange.instrumentPi[i] != 0);
        m_textFreqInst[i]->setText(QString::number(exchange.instrumentFrequency[i]));
    }
}

void InstrumentSettingsDialog::readControls(InstrumentSettingsExchange& exchange) const {
    for (std::size_t i = 0; i < 8; ++i) {
        const QList<QListWidgetItem*> selected = m_listInst[i]->selectedItems();
        if (!selected.isEmpty())
            exchange.instrumentWave[i] = m_listInst[i]->row(selected.first());
        if (m_comboDrum[i]->currentIndex() >= 0)
            exchange.drumWave[i] = m_comboDrum[i]->currentIndex();
        exchange.instrumentPi[i] = m_checkPi[i]->isChecked() ? -1 : 0;
        // A typed value beyond what the file holds becomes the nearest value it holds.
        const int32_t typed = parseTypedNumber(m_textFreqInst[i]->text().toStdString());
        exchange.instrumentFrequency[i] = static_cast<int32_t>(org::fitField(typed, org::largestWord));
    }
}

void InstrumentSettingsDialog::storeAndHide() {
    if (m_exchange)
        readControls(*m_exchange);
    accept();
}

void editInstrumentSettings(QWidget* documentWindow, Song& song, InstrumentSettingsExchange& exchange,
                            std::unique_ptr<InstrumentSettingsDialog>& programDialog,
                            InstrumentSettingsDialog::Listener listen) {
    fillInstrumentSettingsExchange(song, exchange);
    if (!programDialog)
        programDialog = std::make_unique<InstrumentSettingsDialog>();
    placeOver(programDialog.get(), documentWindow);
    programDialog->editModally(exchange, std::move(listen));
    storeInstrumentSettingsExchange(exchange, song);
}

}  // namespace tromel::dialogs
