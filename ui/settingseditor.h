#pragma once

#include <QDialog>
#include <QSharedPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class R58SubScreenConfiguration;
}
namespace Application::R58 {
class Config;
class SettingsDocument;
struct DeviceModel;
enum class SettingKey;
} // namespace Application::R58

class QBoxLayout;
class QCloseEvent;
class QLabel;
class QMenu;
class QPushButton;

// A settings file prepared without a device, in a window of its own: the configuration page's
// form for one device model, editing a settings document instead of a device. Values outside the
// model's limits cannot be entered; those a file brings are shown as they are, and marked.
class SettingsEditor : public QDialog
{
    Q_OBJECT

public:
    // Asks for a file name; empty means cancelled. Tests put their own in place of the dialog.
    using FileDialog
        = std::function<QString(QWidget* parent, bool save, const QString& caption, const QString& folder)>;
    // Runs a modal dialog (questions, messages); tests put their own in place of the modal loop.
    using DialogRunner = std::function<int(QDialog& dialog)>;

    // `config` (may be null) keeps the folder last used.
    SettingsEditor(std::unique_ptr<Application::R58::SettingsDocument> document,
        QSharedPointer<Application::R58::Config> config, QWidget* parent = nullptr);
    ~SettingsEditor() override;

    // "New settings file…": the device model first, then a window of its own.
    static void newFile(QWidget* parent, const QSharedPointer<Application::R58::Config>& config);
    // "Open settings file…": the file, the model (the file's own preselected), then the window.
    static void openFile(QWidget* parent, const QSharedPointer<Application::R58::Config>& config);
    // The two as buttons at the end of `row`, in the device screen's style.
    static void addButtons(QBoxLayout* row, QWidget* parent,
        const QSharedPointer<Application::R58::Config>& config);
    // The two as actions of `menu`.
    static void addActions(QMenu* menu, QWidget* parent,
        const QSharedPointer<Application::R58::Config>& config);

    [[nodiscard]] const Application::R58::SettingsDocument& getDocument() const
    {
        return *m_document;
    }
    void setFileDialog(FileDialog dialog) { m_fileDialog = std::move(dialog); }
    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

public slots:
    // False when nothing was written (cancelled or failed; the window says why).
    bool handleSave();
    bool handleSaveAs();

protected:
    // Unsaved changes are asked about first.
    void closeEvent(QCloseEvent* event) override;
    // Escape closes as the window's close button does, asking the same.
    void reject() override;

private:
    static const Application::R58::DeviceModel* chooseModel(
        QWidget* parent, std::optional<quint32> madeFor);
    void setupForm();
    void showDocument();
    void showValue(Application::R58::SettingKey key);
    void handleEdit(Application::R58::SettingKey key, double value);
    void showProblems(const QString& done = QString());
    void showTitle();
    [[nodiscard]] bool saveTo(const QString& path);
    int runDialog(QDialog& dialog);

    std::unique_ptr<Application::R58::SettingsDocument> m_document;
    QSharedPointer<Application::R58::Config> m_config;
    Ui::R58SubScreenConfiguration* m_form = nullptr;
    QLabel* m_header = nullptr;
    FileDialog m_fileDialog;
    DialogRunner m_dialogRunner;
    bool m_closing = false;
};
