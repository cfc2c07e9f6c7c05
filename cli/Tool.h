#pragma once

#include "SystemError.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What every command-line program shares: its name in messages, one loop
// over the arguments, and the state of its output. A message that did not
// arrive, on standard output or standard error, leaves the caller
// uninformed: the program then ends with ExitFailure and says why.
class TTool {
public:
    // usage: the text of --help.
    TTool(std::string name, std::string_view usage);

    // Text to stream; the first failure on either stream is kept with its reason.
    void Write(std::FILE* stream, std::string_view text);
    // Text on standard error, after what standard output holds so far.
    void Report(std::string_view text);
    // "NAME: text" on standard error, as Report.
    void Complain(std::string_view text);
    // A problem with the arguments, and where to read more. Returns ExitFailure.
    int UsageError(std::string_view problem);
    // Flushes standard output; true once it has lost anything.
    bool StandardOutputLost();
    // status, or ExitFailure with the reason said when any output was lost.
    int Finished(int status);
    // The program's work, finished as above. What it lets through ends the
    // program with ExitFailure, said in German: too little memory, a system
    // error with its reason, anything else as an internal error.
    int Run(const std::function<int()>& work);

    // One option of the program's own while the arguments are read.
    class TOption {
    public:
        // Whether this is the option name, exactly.
        bool Is(std::string_view name) const { return FArgs[FIndex] == name; }
        // Whether this is the option name with a value: alone or as "name=value".
        bool Takes(std::string_view name) const;
        // The value of "name=value", else the next argument (then taken);
        // nullopt when there is none.
        std::optional<std::string> Value();
        // The value's place among choices; without a value or with another
        // the option is refused, naming what (a noun) and the choices.
        std::optional<std::size_t> Choice(std::string_view what, std::initializer_list<std::string_view> choices);
        // The value, the name of an output file; refused when there is none.
        std::string OutputFile();
        // Refuses the option: the program ends with this usage error.
        void Refuse(std::string problem) { FProblem = std::move(problem); }

    private:
        friend class TTool;
        // The option as given, without "=value".
        std::string Name() const { return FArgs[FIndex].substr(0, FArgs[FIndex].find('=')); }
        TOption(const std::vector<std::string>& args, std::size_t& index) : FArgs(args),
                                                                            FIndex(index) { }
        const std::vector<std::string>& FArgs;
        std::size_t& FIndex;
        std::string FProblem;
    };
    // Takes an option of the program's own; false when it knows no such option.
    using TOptionHandler = std::function<bool(TOption& option)>;

    // The arguments: --help (-h) and --version answered, "--" ends the
    // options, own options handed to handler, the rest are files. Returns the
    // exit status when the program ends here.
    std::optional<int> ReadArguments(const std::vector<std::string>& args, const TOptionHandler& handler,
                                     std::vector<std::string>& files);

private:
    std::string FName;
    std::string_view FUsage;
    bool FLost = false; // any output
    bool FStandardOutputLost = false;
    TSystemError FReason; // of the first loss
};
