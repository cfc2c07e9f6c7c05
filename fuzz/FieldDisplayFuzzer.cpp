// The display of examinations loaded from any bytes, checked or not: every
// label, list row, analysis cell and hint shows only what the examination
// holds, and a long value's hint carries its whole text.
#include "DisplayText.h"
#include "FieldHints.h"
#include "FieldLayout.h"
#include "FuzzSupport.h"
#include "Main.h"
#include "Panel.h"
#include "StringGrid.h"

#include <QEvent>
#include <QLabel>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

int Tag(const QObject* object) { return object->property("tag").toInt(); }

std::string Show(const QString& text) { return text.toUtf8().toStdString(); }

QString WithoutLineBreakChars(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

// The window opens a file of its own choosing after its first show; the
// fuzzer loads its own, so that show never reaches the window.
class TFirstShowBlocker : public QObject {
public:
    explicit TFirstShowBlocker(QObject* parent) : QObject(parent) { }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!FBlocked && event->type() == QEvent::Show) {
            FBlocked = true;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool FBlocked = false;
};

TMainForm& Form()
{
    static std::unique_ptr<TMainForm> form = [] {
        EnsureApplication();
        auto created = std::make_unique<TMainForm>();
        created->installEventFilter(new TFirstShowBlocker(created.get()));
        created->show();
        return created;
    }();
    return *form;
}

void CheckShown(TMainForm& form, int index)
{
    const TInvestigationList& loaded = form.Investigations();
    for (auto* block : form.findChild<QWidget*>(QStringLiteral("gbObjectData"))
                           ->findChildren<TPanel*>(Qt::FindDirectChildrenOnly)) {
        if (Tag(block) != 1)
            continue;
        for (auto* label : block->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            const int tag = Tag(label);
            if (tag <= 0)
                continue;
            const QString text = Cp1252ToQString(loaded.Field(index, tag - 1));
            FUZZ_ASSERT(label->text() == text, Show(label->objectName()));
            // The hint names the field; a long value adds its whole text.
            const QString hint = LabelHint(label);
            const QString plain = QStringLiteral("Feld %1").arg(tag);
            FUZZ_ASSERT(hint == plain || WithoutLineBreakChars(hint) ==
                                             WithoutLineBreakChars(plain + QStringLiteral(": ") + text),
                        Show(hint));
        }
    }

    const auto* samples = form.findChild<TStringGrid*>(QStringLiteral("sgSamples"));
    const int parameters = loaded.ParameterCount(index);
    FUZZ_ASSERT(samples->RowCount() == samples->FixedRows() + parameters, std::to_string(parameters));
    for (int k : {0, 1, parameters / 2, parameters - 1}) {
        if (k < 0 || k >= parameters)
            continue;
        const int row = samples->FixedRows() + k;
        for (int col = 0; col < samples->ColCount(); ++col) {
            const QString cell = samples->Cell(col, row);
            bool number = false;
            cell.toLongLong(&number);
            bool found = cell.isEmpty() || number;
            for (int entry = FieldLayout::ParameterEntry(FieldLayout::Parameter.FirstField, k);
                 !found && entry < FieldLayout::ParameterEntry(FieldLayout::End.FirstField, k); ++entry)
                found = cell == Cp1252ToQString(loaded.Field(index, entry));
            FUZZ_ASSERT(found, Show(cell));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TFuzzFile file;
    file.Write(data, size);
    TMainForm& form = Form();

    form.LoadInvestigations(file.Path());
    form.ShowInvestigation();
    const int count = form.InvestigationCount();
    FUZZ_ASSERT(count >= 1 && count == form.Investigations().Count(), std::to_string(count));
    CheckShown(form, 0);

    auto* list = form.findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    FUZZ_ASSERT(list->RowCount() == list->FixedRows() + count, std::to_string(list->RowCount()));
    // Rows past the last examination and the header rows select nothing new.
    for (int index : {count - 1, count / 2, count, count + 5, -1}) {
        const int before = form.CurrentIndex();
        list->SetRow(list->FixedRows() + index);
        emit list->Click();
        if (index >= 0 && index < count) {
            FUZZ_ASSERT(form.CurrentIndex() == index, std::to_string(index));
            CheckShown(form, index);
        } else {
            FUZZ_ASSERT(form.CurrentIndex() == before, std::to_string(index));
        }
    }
    return 0;
}
