// Writes a program's manual page, and for a program with commands its bash completion, from the
// program's own --help texts, so the page and the completion never drift from what it accepts.
//
//   make_man_page PROGRAM VERSION PAGE [COMPLETION]
//
// A help text is what QCommandLineParser writes: a "Usage:" line, paragraphs of description,
// then headed sections ("Options:", "Arguments:", "Commands:") of two-column entries whose
// descriptions may go on in lines indented to the second column. A "Commands:" section names
// commands whose own help comes from "PROGRAM COMMAND --help".

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

namespace {

struct Entry {
    QString term;  // "-o, --output <FILE>", "PHOTO", "render"
    QString text;
};

struct Section {
    QString heading;  // "Options", "Arguments", "Commands"
    std::vector<Entry> entries;
};

struct Help {
    QString usage;           // after "Usage: "
    QStringList paragraphs;  // the description
    std::vector<Section> sections;
};

QString RunHelp(const QString& program, QStringList arguments) {
    arguments << QStringLiteral("--help");
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        throw std::runtime_error(QStringLiteral("%1 %2 failed: %3")
                                     .arg(program, arguments.join(QLatin1Char(' ')),
                                          QString::fromUtf8(process.readAllStandardError()))
                                     .toStdString());
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

Help ParseHelp(const QString& text) {
    static const QRegularExpression entryLine(QStringLiteral("^  (\\S.*?)(?:\\s{2,}(\\S.*))?$"));
    static const QRegularExpression continuation(QStringLiteral("^\\s{4,}(\\S.*)$"));
    Help help;
    QString paragraph;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Usage: "))) {
            help.usage = line.mid(7).trimmed();
        } else if (!line.startsWith(QLatin1Char(' ')) && line.endsWith(QLatin1Char(':'))) {
            help.sections.push_back({line.chopped(1), {}});
        } else if (line.trimmed().isEmpty()) {
            if (!paragraph.isEmpty()) help.paragraphs << paragraph;
            paragraph.clear();
        } else if (help.sections.empty()) {
            paragraph += (paragraph.isEmpty() ? QString() : QStringLiteral(" ")) + line.trimmed();
        } else {
            std::vector<Entry>& entries = help.sections.back().entries;
            const QRegularExpressionMatch more = continuation.match(line);
            const QRegularExpressionMatch entry = entryLine.match(line);
            if (more.hasMatch() && !entries.empty()) {
                entries.back().text += QLatin1Char(' ') + more.captured(1);
            } else if (entry.hasMatch()) {
                entries.push_back({entry.captured(1), entry.captured(2)});
            } else {
                // A line of prose after the sections ("Run ... for the options of a command.").
                help.paragraphs << line.trimmed();
            }
        }
    }
    if (!paragraph.isEmpty()) help.paragraphs << paragraph;
    return help;
}

// Text as roff reads it: backslashes escaped, hyphens as minus signs (options are typed with
// them), and no line starting with a control character.
QString Roff(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\''))) {
        text.prepend(QLatin1String("\\&"));
    }
    return text;
}

void WriteHelpBody(QString& page, const Help& help, const QString& heading) {
    for (const Section& section : help.sections) {
        if (section.heading == QLatin1String("Commands")) continue;
        page += heading + QLatin1Char(' ') + section.heading.toUpper() + QLatin1Char('\n');
        for (const Entry& entry : section.entries) {
            page += QStringLiteral(".TP\n.B %1\n%2\n").arg(Roff(entry.term), Roff(entry.text));
        }
    }
}

// The options a command takes, as typed: "-o", "--output".
QStringList OptionWords(const Help& help) {
    // Only words that start an option: "<FROM-TO>" is a value, not the option "-TO".
    static const QRegularExpression option(
        QStringLiteral("(?:^|[\\s,])(--?[A-Za-z][A-Za-z0-9-]*)"));
    QStringList words;
    for (const Section& section : help.sections) {
        if (section.heading != QLatin1String("Options")) continue;
        for (const Entry& entry : section.entries) {
            auto matches = option.globalMatch(entry.term);
            while (matches.hasNext())
                words << matches.next().captured(1);
        }
    }
    return words;
}

QString NameLine(const QString& program, const Help& help) {
    QString summary = help.paragraphs.value(0);
    const qsizetype end = summary.indexOf(QLatin1String(". "));
    if (end >= 0) summary.truncate(end);
    if (summary.endsWith(QLatin1Char('.')) || summary.endsWith(QLatin1Char(':'))) summary.chop(1);
    if (!summary.isEmpty()) summary[0] = summary[0].toLower();
    return QStringLiteral("%1 \\- %2\n").arg(Roff(program), Roff(summary));
}

struct Command {
    QString name;
    QString text;
    Help help;
};

QString ManPage(const QString& program, const QString& version, const Help& help,
                const std::vector<Command>& commands) {
    QString page;
    page += QStringLiteral(".TH %1 1 \"\" \"LiskoPrinter %2\" \"User Commands\"\n")
                .arg(program.toUpper(), version);
    page += QStringLiteral(".SH NAME\n") + NameLine(program, help);
    page += QStringLiteral(".SH SYNOPSIS\n");
    page += QStringLiteral(".B %1\n").arg(Roff(program));
    page += Roff(help.usage.section(QLatin1Char(' '), 1)) + QLatin1Char('\n');
    for (const Command& command : commands) {
        page += QStringLiteral(".br\n.B %1\n").arg(Roff(program));
        page += Roff(command.help.usage.section(QLatin1Char(' '), 1)) + QLatin1Char('\n');
    }
    page += QStringLiteral(".SH DESCRIPTION\n");
    for (const QString& paragraph : help.paragraphs)
        page += QStringLiteral(".PP\n%1\n").arg(Roff(paragraph));
    WriteHelpBody(page, help, QStringLiteral(".SH"));
    if (!commands.empty()) {
        page += QStringLiteral(".SH COMMANDS\n");
        for (const Command& command : commands) {
            page += QStringLiteral(".SS %1\n").arg(Roff(command.name));
            page += QStringLiteral("%1.\n").arg(Roff(command.text));
            for (const QString& paragraph : command.help.paragraphs) {
                page += QStringLiteral(".PP\n%1\n").arg(Roff(paragraph));
            }
            for (const Section& section : command.help.sections) {
                page += QStringLiteral(".PP\n%1:\n").arg(Roff(section.heading));
                for (const Entry& entry : section.entries) {
                    page +=
                        QStringLiteral(".TP\n.B %1\n%2\n").arg(Roff(entry.term), Roff(entry.text));
                }
            }
        }
    }
    page += QStringLiteral(".SH SEE ALSO\n");
    page += program == QLatin1String("liskoprinter")
                ? QStringLiteral(".BR liskoprinter\\-cli (1)\n")
                : QStringLiteral(".BR liskoprinter (1)\n");
    return page;
}

QString Completion(const QString& program, const Help& help, const std::vector<Command>& commands) {
    QString function = QLatin1Char('_') + program;
    function.replace(QLatin1Char('-'), QLatin1Char('_'));
    QStringList first = OptionWords(help);
    QString cases;
    for (const Command& command : commands) {
        first.prepend(command.name);
        cases += QStringLiteral("        %1) words=\"%2\" ;;\n")
                     .arg(command.name, OptionWords(command.help).join(QLatin1Char(' ')));
    }
    first.sort();
    return QStringLiteral(
               "# bash completion for %1, made from its own --help texts.\n"
               "%2() {\n"
               "    local current=${COMP_WORDS[COMP_CWORD]} words\n"
               "    if ((COMP_CWORD == 1)); then\n"
               "        COMPREPLY=($(compgen -W \"%3\" -- \"$current\"))\n"
               "        return\n"
               "    fi\n"
               "    case ${COMP_WORDS[1]} in\n"
               "%4"
               "        *) return ;;\n"
               "    esac\n"
               "    if [[ $current == -* ]]; then\n"
               "        COMPREPLY=($(compgen -W \"$words\" -- \"$current\"))\n"
               "    else\n"
               "        COMPREPLY=($(compgen -f -- \"$current\"))\n"
               "    fi\n"
               "}\n"
               "complete -o filenames -F %2 %1\n")
        .arg(program, function, first.join(QLatin1Char(' ')), cases);
}

void Write(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.toUtf8()) != text.toUtf8().size()) {
        throw std::runtime_error(
            QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString());
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 && arguments.size() != 5) {
        std::fputs("usage: make_man_page PROGRAM VERSION PAGE [COMPLETION]\n", stderr);
        return 2;
    }
    const QString path = arguments[1];
    const QString program = QFileInfo(path).fileName();
    try {
        const Help help = ParseHelp(RunHelp(path, {}));
        std::vector<Command> commands;
        for (const Section& section : help.sections) {
            if (section.heading != QLatin1String("Commands")) continue;
            for (const Entry& entry : section.entries) {
                commands.push_back(
                    {entry.term, entry.text, ParseHelp(RunHelp(path, {entry.term}))});
            }
        }
        Write(arguments[3], ManPage(program, arguments[2], help, commands));
        if (arguments.size() == 5) Write(arguments[4], Completion(program, help, commands));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_man_page: %s\n", e.what());
        return 1;
    }
    return 0;
}
