#include "Tool.h"

#include "ExitStatus.h"
#include "SystemErrorText.h"
#include "ToolPlatform.h"
#include "Utf8Text.h"

#include <new>

TTool::TTool(std::string name, std::string_view usage) : FName(std::move(name)),
                                                         FUsage(usage)
{
}

void TTool::Write(std::FILE* stream, std::string_view text)
{
    if (WriteText(stream, text))
        return;
    if (!FLost)
        FReason = LastErrno();
    FLost = true;
    if (stream == stdout)
        FStandardOutputLost = true;
}

void TTool::Report(std::string_view text)
{
    StandardOutputLost();
    Write(stderr, text);
}

void TTool::Complain(std::string_view text)
{
    Report(FName + ": " + std::string(text) + "\n");
}

int TTool::UsageError(std::string_view problem)
{
    Complain(problem);
    Write(stderr, "Weitere Informationen mit »" + FName + " --help«.\n");
    return ExitFailure;
}

bool TTool::StandardOutputLost()
{
    if (std::fflush(stdout) != 0 && !FLost)
        FReason = LastErrno();
    if (std::ferror(stdout))
        FLost = FStandardOutputLost = true;
    return FStandardOutputLost;
}

int TTool::Finished(int status)
{
    StandardOutputLost();
    if (!FLost)
        return status;
    Complain(WithReason("Die Ausgabe kann nicht geschrieben werden.", FReason));
    return ExitFailure;
}

int TTool::Run(const std::function<int()>& work)
{
    try {
        return Finished(work());
    } catch (const std::bad_alloc&) {
        Complain("Nicht genug Arbeitsspeicher.");
    } catch (const std::exception& e) {
        Complain(ExceptionText(e));
    }
    return Finished(ExitFailure);
}

bool TTool::TOption::Takes(std::string_view name) const
{
    const std::string_view arg = FArgs[FIndex];
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

std::optional<std::string> TTool::TOption::Value()
{
    const std::string& arg = FArgs[FIndex];
    if (const std::size_t equals = arg.find('='); equals != std::string::npos)
        return arg.substr(equals + 1);
    if (FIndex + 1 >= FArgs.size())
        return std::nullopt;
    return FArgs[++FIndex];
}

std::optional<std::size_t> TTool::TOption::Choice(std::string_view what, std::initializer_list<std::string_view> choices)
{
    const std::string name = Name();
    const std::optional<std::string> value = Value();
    if (!value || value->empty()) {
        Refuse(name + " ohne Wert");
        return std::nullopt;
    }
    std::string list;
    std::size_t index = 0;
    for (const std::string_view choice : choices) {
        if (*value == choice)
            return index;
        if (index > 0)
            list += index + 1 == choices.size() ? " oder " : ", ";
        list += choice;
        ++index;
    }
    Refuse("unbekanntes " + std::string(what) + " " + BytesToUtf8(*value) + " (" + list + ")");
    return std::nullopt;
}

std::string TTool::TOption::OutputFile()
{
    const std::string name = Name();
    std::string file = Value().value_or(std::string());
    if (file.empty())
        Refuse(name + " ohne Ausgabedatei");
    return file;
}

std::optional<int> TTool::ReadArguments(const std::vector<std::string>& args, const TOptionHandler& handler,
                                        std::vector<std::string>& files)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            Write(stdout, FUsage);
            return Finished(ExitPassed);
        } else if (arg == "--version") {
            Write(stdout, FName + " " MORVASK_VERSION "\n");
            return Finished(ExitPassed);
        } else {
            TOption option(args, i);
            if (!handler(option))
                return UsageError("unbekannte Option " + BytesToUtf8(arg));
            if (!option.FProblem.empty())
                return UsageError(option.FProblem);
        }
    }
    return std::nullopt;
}
