#include "ui/otherportdialog.h"

#include "ui/stylesheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace {

// What a technician recognises a cable by: maker, description and USB identity.
QString describe(const QSerialPortInfo& info)
{
    QStringList parts;
    if (!info.description().isEmpty())
        parts << info.description();
    if (!info.manufacturer().isEmpty() && !info.description().contains(info.manufacturer()))
        parts << info.manufacturer();
    if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        parts << QStringLiteral("%1:%2")
                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
    parts << info.systemLocation();
    return QStringLiteral("%1  (%2)").arg(info.portName(), parts.join(QStringLiteral(", ")));
}

} // namespace

OtherPortDialog::OtherPortDialog(QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_edit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("OtherPortDialog"));
    setWindowTitle(tr("Other port"));
    auto* layout = new QVBoxLayout(this);

    auto* intro = new QLabel(tr("Choose the serial port the VELOR®R58 is connected to, or type "
                                "its path (for example a pseudo-terminal made by socat)."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        auto* item = new QListWidgetItem(describe(info), m_list);
        item->setData(Qt::UserRole, info.portName());
    }
    if (infos.isEmpty()) {
        auto* item = new QListWidgetItem(tr("The system lists no serial ports."), m_list);
        item->setFlags(Qt::NoItemFlags);
    }
    layout->addWidget(m_list);

    m_edit->setObjectName(QStringLiteral("lineEditPort"));
    m_edit->setPlaceholderText(tr("Port name or path, e.g. ttyUSB0 or /tmp/ttyR58"));
    layout->addWidget(m_edit);
    m_edit->setFocus();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Connect"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    layout->addWidget(buttons);

    // Only a port the user picks fills the field: the list makes its first entry current
    // when it takes the focus, without selecting it.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const auto picked = m_list->selectedItems();
        if (!picked.isEmpty() && (picked.first()->flags() & Qt::ItemIsSelectable))
            m_edit->setText(picked.first()->data(Qt::UserRole).toString());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item->flags() & Qt::ItemIsSelectable)
            accept();
    });
    connect(m_edit, &QLineEdit::textChanged, this, [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!getPortName().isEmpty());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Application::R58::styleDialog(*this);
    resize(560, 360);
}

QString OtherPortDialog::getPortName() const
{
    return m_edit->text().trimmed();
}
