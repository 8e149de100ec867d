#include "ui/settingseditor.h"

#include "config/config.h"
#include "config/devicemodel.h"
#include "config/settingsdocument.h"
#include "config/settingsmapper.h"
#include "records/recordlocations.h"
#include "ui/settingsform.h"
#include "ui/stylesheet.h"
#include "ui/wheelguard.h"
#include "ui_r58subscreen_configuration.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

#include <cmath>

using Application::R58::Config;
using Application::R58::DeviceModel;
using Application::R58::SettingKey;
using Application::R58::SettingsDocument;
using Application::R58::SettingsMapper;

namespace {

// A file's value needs no more decimals than this to be shown as it is (milliamperes).
constexpr int MaxShownDecimals = 3;
// The window opens at the device screen's tab size less the navigation.
constexpr int EditorWidth = 1100; // pixels
constexpr int EditorHeight = 560; // pixels
// The height of the device screen's file buttons.
constexpr int ButtonHeight = 40; // pixels

QString number(double value)
{
    return QLocale().toString(value, 'g', 7);
}

int decimalsToShow(double value, int fewest)
{
    int decimals = fewest;
    while (decimals < MaxShownDecimals) {
        const double scale = std::pow(10.0, decimals);
        if (std::fabs(std::round(value * scale) / scale - value) <= 1e-6 * std::max(1.0, value))
            break;
        ++decimals;
    }
    return decimals;
}

QString jsonFilter()
{
    return SettingsEditor::tr("JSON Files (*.json)");
}

QString startFolder(const QSharedPointer<Config>& config)
{
    return Records::RecordLocations::dialogFolder(config ? config->getSettingsDir() : QString());
}

void rememberFolder(const QSharedPointer<Config>& config, const QString& path)
{
    if (!config || Records::RecordLocations::isInBackups(path))
        return;
    config->setSettingsDir(path);
    // Only the folder for next time is lost when this fails; the file is fine.
    (void)config->save();
}

} // namespace

SettingsEditor::SettingsEditor(std::unique_ptr<SettingsDocument> document,
    QSharedPointer<Config> config, QWidget* parent)
    : QDialog(parent),
      m_document(std::move(document)),
      m_config(std::move(config)),
      m_form(new Ui::R58SubScreenConfiguration)
{
    setObjectName(QStringLiteral("SettingsEditor"));
    setWindowFlag(Qt::Window);
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("r58subscreen")));
    setupForm();
    showDocument();
    showProblems();
    resize(EditorWidth, EditorHeight);
}

SettingsEditor::~SettingsEditor()
{
    delete m_form;
}

void SettingsEditor::setupForm()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("labelEditorModel"));
    m_header->setWordWrap(true);
    m_header->setContentsMargins(30, 20, 30, 0);
    layout->addWidget(m_header);
    // Named as the device screen's page, so that its style sheet applies as it does there.
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pageConfiguration"));
    m_form->setupUi(page);
    nameSettingLabels(*m_form);
    layout->addWidget(page, 1);

    auto* form = m_form;
    // What edits a device, and the soft start no role sees on the page, has no place here.
    for (QWidget* widget : std::initializer_list<QWidget*> {form->pushButtonExport,
             form->pushButtonImport, form->pushButtonFactoryReset, form->labelSoftstart,
             form->checkBoxSoftstart})
        widget->hide();
    const bool asymmetry = m_document->getModel().loadAsymmetry;
    form->pushButtonAsymmetrySettings->setVisible(asymmetry);

    const std::array<QPushButton*, 5> pages {form->pushButtonGeneralSettings,
        form->pushButtonUndercurrentSettings, form->pushButtonUndervoltageSettings,
        form->pushButtonOvervoltageSettings, form->pushButtonAsymmetrySettings};
    for (int index = 0; index < int(pages.size()); ++index) {
        connect(pages[index], &QPushButton::toggled, this,
            [this, index] { m_form->stackedWidgetSettings->setCurrentIndex(index); });
    }
    form->pushButtonGeneralSettings->setChecked(true);

    // Only the trip classes the model offers.
    QComboBox* tripClasses = form->comboBoxTripClass;
    while (tripClasses->count() > int(m_document->getModel().maxTripClass) + 1)
        tripClasses->removeItem(tripClasses->count() - 1);

    auto* wheelGuard = new WheelGuard(this);
    for (const SettingKey key : m_document->keys()) {
        QWidget* widget = settingWidget(*form, key);
        wheelGuard->guard(widget);
        if (auto* field = qobject_cast<QDoubleSpinBox*>(widget)) {
            // Committed once, not digit by digit: "250" is no 2 V and 25 V first.
            field->setKeyboardTracking(false);
            field->setProperty("fieldDecimals", field->decimals());
            connect(field, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, key](double value) { handleEdit(key, value); });
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, key](int index) {
                    if (index >= 0)
                        handleEdit(key, double(index));
                });
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            connect(box, &QCheckBox::toggled, this,
                [this, key](bool on) { handleEdit(key, on ? 1.0 : 0.0); });
        }
    }

    // Save where the device screen exports, close where it resets.
    auto* save = new QPushButton(tr("SAVE"), this);
    save->setObjectName(QStringLiteral("pushButtonSave"));
    save->setMinimumSize(form->pushButtonExport->minimumSize());
    auto* saveAs = new QPushButton(tr("SAVE AS…"), this);
    saveAs->setObjectName(QStringLiteral("pushButtonSaveAs"));
    saveAs->setMinimumSize(form->pushButtonImport->minimumSize());
    auto* close = new QPushButton(tr("CLOSE"), this);
    close->setObjectName(QStringLiteral("pushButtonClose"));
    close->setMinimumSize(form->pushButtonImport->minimumSize());
    QHBoxLayout* row = form->horizontalLayoutSettingsFile;
    row->insertWidget(0, save);
    row->insertWidget(1, saveAs);
    row->addWidget(close);
    connect(save, &QPushButton::clicked, this, &SettingsEditor::handleSave);
    connect(saveAs, &QPushButton::clicked, this, &SettingsEditor::handleSaveAs);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void SettingsEditor::showDocument()
{
    for (const SettingKey key : m_document->keys())
        showValue(key);
    showTitle();
}

void SettingsEditor::showValue(SettingKey key)
{
    QWidget* widget = settingWidget(*m_form, key);
    const double value = m_document->value(key);
    const SettingsMapper::Limits limits = m_document->limits(key);
    // Written so that NaN counts as outside.
    const double slack = 1e-6 * std::max(1.0, std::fabs(limits.maximum));
    const bool inside = value >= limits.minimum - slack && value <= limits.maximum + slack;
    const QString model = QString::number(m_document->getModel().articleNumber);
    if (auto* field = qobject_cast<QDoubleSpinBox*>(widget)) {
        const QSignalBlocker blocker(field);
        if (!std::isfinite(value)) {
            markOutside(field, tr("The file holds %1, which this field cannot show.").arg(value));
            return;
        }
        field->setDecimals(decimalsToShow(value, field->property("fieldDecimals").toInt()));
        // A value outside widens the field for it, so that it is shown as the file holds it.
        field->setRange(std::min(limits.minimum, value), std::max(limits.maximum, value));
        field->setValue(value);
        markOutside(field,
            inside ? QString()
                   : tr("The file holds %1, outside %2 to %3 that a %4 takes.")
                         .arg(number(value), number(limits.minimum), number(limits.maximum),
                             model));
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker blocker(list);
        const int index = int(value);
        const bool offered = inside && index >= 0 && index < list->count();
        // A value the list does not offer shows as no entry rather than as another one.
        list->setCurrentIndex(offered ? index : -1);
        markOutside(list,
            offered ? QString()
                    : tr("The file holds %1, which a %2 does not offer.")
                          .arg(SettingsMapper::text(key, value), model));
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        const QSignalBlocker blocker(box);
        box->setChecked(value != 0.0);
    }
}

void SettingsEditor::handleEdit(SettingKey key, double value)
{
    const SettingsMapper::Limits limits = m_document->limits(key);
    const double slack = 1e-6 * std::max(1.0, std::fabs(limits.maximum));
    // Reachable only while a field is widened for a value of the file: nothing outside is taken.
    if (!(value >= limits.minimum - slack && value <= limits.maximum + slack)) {
        showValue(key);
        showProblems(tr("%1: %2 is outside %3 to %4; not taken.")
                         .arg(SettingsMapper::name(key), SettingsMapper::text(key, value),
                             SettingsMapper::text(key, limits.minimum),
                             SettingsMapper::text(key, limits.maximum)));
        return;
    }
    m_document->setValue(key, value);
    showValue(key);
    QString done;
    if (key == SettingKey::NominalCurrent) {
        // No threshold may exceed the nominal current, as on the device.
        QStringList lowered;
        for (const SettingKey threshold :
            {SettingKey::UndercurrentThreshold, SettingKey::AsymmetryThreshold}) {
            if (!m_document->keys().contains(threshold))
                continue;
            if (m_document->value(threshold) > value) {
                m_document->setValue(threshold, value);
                lowered << tr("%1 lowered to %2.")
                               .arg(SettingsMapper::name(threshold),
                                   SettingsMapper::text(threshold, value));
            }
            showValue(threshold);
        }
        if (!lowered.isEmpty())
            done = tr("No threshold may exceed the nominal current: %1")
                       .arg(lowered.join(QLatin1Char(' ')));
    }
    showTitle();
    showProblems(done);
}

void SettingsEditor::showProblems(const QString& done)
{
    const QStringList problems = m_document->problems();
    QString text = done;
    if (!problems.isEmpty()) {
        text = (text.isEmpty() ? QString() : text + QLatin1Char(' '))
            + tr("Outside the limits of a %1: %2")
                  .arg(m_document->getModel().articleNumber)
                  .arg(problems.join(QLatin1Char(' ')));
    }
    QLabel* label = m_form->labelSettingsMessage;
    label->setText(text);
    const bool failure = !problems.isEmpty();
    label->setProperty("failure", failure);
    // The style sheet colours the message by that property; it must be told it changed.
    label->style()->unpolish(label);
    label->style()->polish(label);
}

void SettingsEditor::showTitle()
{
    const DeviceModel& model = m_document->getModel();
    const QString path = m_document->getFilePath();
    const QString file
        = path.isEmpty() ? tr("New settings file") : QDir::toNativeSeparators(path);
    QString header = tr("%1 for %2").arg(file, model.label());
    const auto made = m_document->getFileArticleNumber();
    if (made && *made != model.articleNumber)
        header += QLatin1Char(' ') + tr("(made for %1)").arg(*made);
    m_header->setText(header);
    setWindowTitle(tr("%1 – %2[*]")
                       .arg(path.isEmpty() ? tr("New settings file") : QFileInfo(path).fileName())
                       .arg(model.articleNumber));
    setWindowModified(m_document->isModified());
}

bool SettingsEditor::handleSave()
{
    const QString path = m_document->getFilePath();
    // A file made for another model is saved for this one only under a name chosen anew.
    const auto made = m_document->getFileArticleNumber();
    if (path.isEmpty() || (made && *made != m_document->getModel().articleNumber))
        return handleSaveAs();
    return saveTo(path);
}

bool SettingsEditor::handleSaveAs()
{
    const QString path = m_document->getFilePath();
    const QString folder = path.isEmpty() ? startFolder(m_config) : path;
    const QString caption = tr("Save settings file");
    const QString chosen = m_fileDialog
        ? m_fileDialog(this, true, caption, folder)
        : QFileDialog::getSaveFileName(this, caption, folder, jsonFilter());
    if (chosen.isEmpty())
        return false;
    return saveTo(chosen);
}

bool SettingsEditor::saveTo(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    // The backups are the tool's own; a file there could replace one.
    if (Records::RecordLocations::isInBackups(path)) {
        showProblems(tr("%1 is in the folder of the tool's backups, which only the backups are "
                        "written to. Nothing was saved; choose another folder.")
                         .arg(name));
        return false;
    }
    if (!m_document->save(path)) {
        showProblems(m_document->errorString());
        return false;
    }
    rememberFolder(m_config, path);
    showTitle();
    showProblems(tr("Saved to %1.").arg(name));
    return true;
}

int SettingsEditor::runDialog(QDialog& dialog)
{
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

void SettingsEditor::reject()
{
    close();
}

void SettingsEditor::closeEvent(QCloseEvent* event)
{
    if (!m_document->isModified()) {
        event->accept();
        return;
    }
    QMessageBox question(QMessageBox::Question, tr("Unsaved changes"),
        tr("The settings file has changes that are not saved. Save them first?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("UnsavedQuestion"));
    question.setDefaultButton(QMessageBox::Save);
    const int answer = runDialog(question);
    if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && handleSave()))
        event->accept();
    else
        event->ignore();
}

const DeviceModel* SettingsEditor::chooseModel(QWidget* parent, std::optional<quint32> madeFor)
{
    QStringList labels;
    int current = 0;
    for (const DeviceModel& model : DeviceModel::all()) {
        if (madeFor && model.articleNumber == *madeFor)
            current = int(labels.size());
        labels << model.label();
    }
    const QString text = !madeFor
        ? tr("The device model the settings are for:")
        : DeviceModel::find(*madeFor)
        ? tr("The file was made for %1. The device model the settings are for:").arg(*madeFor)
        : tr("The file was made for %1, a model this program does not know. The device model "
             "the settings are for:")
              .arg(*madeFor);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        parent, tr("Device model"), text, labels, current, false, &ok);
    const int index = int(labels.indexOf(chosen));
    return ok && index >= 0 ? &DeviceModel::all()[std::size_t(index)] : nullptr;
}

void SettingsEditor::newFile(QWidget* parent, const QSharedPointer<Config>& config)
{
    const DeviceModel* model = chooseModel(parent, std::nullopt);
    if (!model)
        return;
    // Owned by the main window rather than a tab, which may close with the editor still open.
    auto* editor = new SettingsEditor(
        std::make_unique<SettingsDocument>(*model), config, parent ? parent->window() : nullptr);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
}

void SettingsEditor::openFile(QWidget* parent, const QSharedPointer<Config>& config)
{
    const QString path = QFileDialog::getOpenFileName(
        parent, tr("Open settings file"), startFolder(config), jsonFilter());
    if (path.isEmpty())
        return;
    const DeviceModel* model = chooseModel(parent, SettingsDocument::articleNumberOf(path));
    if (!model)
        return;
    auto document = std::make_unique<SettingsDocument>(*model);
    if (!document->load(path)) {
        QMessageBox::warning(parent, tr("Open settings file"), document->errorString());
        return;
    }
    rememberFolder(config, path);
    auto* editor
        = new SettingsEditor(std::move(document), config, parent ? parent->window() : nullptr);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
}

void SettingsEditor::addButtons(
    QBoxLayout* row, QWidget* parent, const QSharedPointer<Config>& config)
{
    auto* create = new QPushButton(tr("NEW SETTINGS FILE…"), parent);
    create->setObjectName(QStringLiteral("pushButtonNewSettingsFile"));
    auto* open = new QPushButton(tr("OPEN SETTINGS FILE…"), parent);
    open->setObjectName(QStringLiteral("pushButtonOpenSettingsFile"));
    create->setMinimumHeight(ButtonHeight);
    open->setMinimumHeight(ButtonHeight);
    row->addWidget(create);
    row->addWidget(open);
    connect(create, &QPushButton::clicked, parent, [parent, config] { newFile(parent, config); });
    connect(open, &QPushButton::clicked, parent, [parent, config] { openFile(parent, config); });
}

void SettingsEditor::addActions(QMenu* menu, QWidget* parent, const QSharedPointer<Config>& config)
{
    QAction* create = menu->addAction(tr("New settings file…"));
    create->setObjectName(QStringLiteral("actionNewSettingsFile"));
    QAction* open = menu->addAction(tr("Open settings file…"));
    open->setObjectName(QStringLiteral("actionOpenSettingsFile"));
    connect(create, &QAction::triggered, parent, [parent, config] { newFile(parent, config); });
    connect(open, &QAction::triggered, parent, [parent, config] { openFile(parent, config); });
}
