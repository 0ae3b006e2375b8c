#include "CCameraPropertiesDialog.h"

#include "CCaptureStreamBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <linux/videodev2.h>

CCameraPropertiesDialog::CCameraPropertiesDialog(CCaptureStreamBase* stream, QWidget* parent)
    : QDialog(parent), m_stream(stream)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Camera Properties"));
    m_controls = m_stream->GetProperties();
    auto* form = new QFormLayout;
    for (const CDSUtils::Property& control : m_controls)
    {
        QWidget* editor = nullptr;
        if (control.type == V4L2_CTRL_TYPE_BOOLEAN) editor = MakeCheckBox(control);
        else if ((control.type == V4L2_CTRL_TYPE_MENU || control.type == V4L2_CTRL_TYPE_INTEGER_MENU) &&
                 !control.menuItems.empty())
            editor = MakeMenu(control);
        else editor = MakeSlider(control);
        editor->setObjectName(QString::fromStdString(control.name));
        form->addRow(QString::fromStdString(control.name), editor);
    }
    auto* page = new QWidget;
    page->setLayout(form);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::RestoreDefaults | QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::RestoreDefaults)->setText(QStringLiteral("Defaults"));
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this]() { RestoreDefaults(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    if (m_controls.empty()) layout->addWidget(new QLabel(NoControlsText(), this));
    else layout->addWidget(scroll);
    layout->addWidget(buttons);
    resize(480, std::min(560, 120 + 40 * static_cast<int>(m_controls.size())));
}

CCameraPropertiesDialog::~CCameraPropertiesDialog() = default;

QString CCameraPropertiesDialog::NoControlsText()
{
    return QStringLiteral("This camera has no controls to adjust");
}

int32_t CCameraPropertiesDialog::Send(uint32_t id, int32_t value)
{
    m_stream->SetProperty(id, value);
    int32_t now = value;
    m_stream->GetProperty(id, now);
    return now;
}

QWidget* CCameraPropertiesDialog::MakeSlider(const CDSUtils::Property& control)
{
    auto* box = new QWidget;
    auto* slider = new QSlider(Qt::Horizontal, box);
    auto* value = new QLabel(QString::number(control.value), box);
    value->setMinimumWidth(48);
    slider->setRange(control.minimum, control.maximum);
    slider->setSingleStep(std::max(1, control.step));
    slider->setPageStep(std::max(1, control.step) * 10);
    slider->setValue(control.value);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(slider, 1);
    row->addWidget(value);
    auto show = [slider, value](int32_t v) {
        const QSignalBlocker quiet(slider);
        slider->setValue(v);
        value->setNum(v);
    };
    connect(slider, &QSlider::valueChanged, this, [this, id = control.id, show](int v) { show(Send(id, v)); });
    m_show.push_back(show);
    return box;
}

QWidget* CCameraPropertiesDialog::MakeCheckBox(const CDSUtils::Property& control)
{
    auto* box = new QCheckBox;
    box->setChecked(control.value != 0);
    auto show = [box](int32_t v) {
        const QSignalBlocker quiet(box);
        box->setChecked(v != 0);
    };
    connect(box, &QCheckBox::toggled, this, [this, id = control.id, show](bool on) { show(Send(id, on ? 1 : 0)); });
    m_show.push_back(show);
    return box;
}

QWidget* CCameraPropertiesDialog::MakeMenu(const CDSUtils::Property& control)
{
    auto* menu = new QComboBox;
    for (const auto& item : control.menuItems) menu->addItem(QString::fromStdString(item.second), item.first);
    menu->setCurrentIndex(menu->findData(control.value));
    auto show = [menu](int32_t v) {
        const QSignalBlocker quiet(menu);
        menu->setCurrentIndex(menu->findData(v));
    };
    connect(menu, &QComboBox::currentIndexChanged, this, [this, menu, id = control.id, show](int index) {
        if (index >= 0) show(Send(id, menu->itemData(index).toInt()));
    });
    m_show.push_back(show);
    return menu;
}

void CCameraPropertiesDialog::RestoreDefaults()
{
    for (size_t i = 0; i < m_controls.size(); ++i)
        m_show[i](Send(m_controls[i].id, m_controls[i].defaultValue));
}
