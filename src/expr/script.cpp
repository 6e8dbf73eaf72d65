#include "expr/script.h"

#include "expr/services.h"

#include <vector>

namespace cm {

QString scriptEventName(ScriptEvent event)
{
    switch (event) {
    case ScriptEvent::BeforePrint: return QStringLiteral("BeforePrint");
    case ScriptEvent::AfterPrint: return QStringLiteral("AfterPrint");
    case ScriptEvent::StartPage: return QStringLiteral("StartPage");
    case ScriptEvent::EndPage: return QStringLiteral("EndPage");
    case ScriptEvent::AfterPreview: return QStringLiteral("AfterPreview");
    }
    return QString();
}

namespace {

enum class Stmt { Comment, If, Loop, EndIf, EndLoop, Else, Break, BreakLoop, Exit, Return, Formula };

struct Statement {
    Stmt kind = Stmt::Formula;
    QString text;   // condition, RETURN formula or formula line
};

QString asciiUpper(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 32);
    return out;
}

Statement readLine(const QString& raw)
{
    QString line = raw;
    qsizetype b = 0, e = line.size();
    while (b < e && line.at(b).unicode() <= 0x20) ++b;
    while (e > b && line.at(e - 1).unicode() <= 0x20) --e;
    line = line.mid(b, e - b);
    if (line.endsWith(u';')) line.chop(1);
    const QString up = asciiUpper(line);
    if (line.startsWith(QLatin1String("//"))) return {Stmt::Comment, {}};
    if (up.startsWith(QLatin1String("IF ("))) return {Stmt::If, line.mid(4, qMax<qsizetype>(0, line.size() - 5))};
    if (up == u"LOOP") return {Stmt::Loop, {}};
    if (up == u"ENDIF") return {Stmt::EndIf, {}};
    if (up == u"ENDLOOP") return {Stmt::EndLoop, {}};
    if (up == u"ELSE") return {Stmt::Else, {}};
    if (up == u"BREAK") return {Stmt::Break, {}};
    if (up == u"BREAKLOOP") return {Stmt::BreakLoop, {}};
    if (up == u"EXIT") return {Stmt::Exit, {}};
    if (up.startsWith(QLatin1String("RETURN("))) return {Stmt::Return, line.mid(7, qMax<qsizetype>(0, line.size() - 8))};
    return {Stmt::Formula, line};
}

struct ScriptError {
    int number;
};

const char* scriptErrorMessage(int number)
{
    static const char* const messages[] = {"ENDIF without IF", "ENDLOOP without LOOP", "Invalid IF statement",
                                           "ELSE without IF", "BREAK outside of LOOP or IF block",
                                           "BREAKLOOP outside of LOOP block"};
    return messages[number];
}

// One open block: 'I' true IF, 'i' IF running its ELSE branch, 'L' loop.
struct Block {
    char kind;
    int loopLine = -1;
};

enum class SkipTo { ElseOrEndIf, EndIf, EndLoop };

// The line that ends a skip, or -1 when the script ends first.
int skipForward(const QStringList& lines, int from, SkipTo target, bool* atElse)
{
    int depth = 1;
    for (int i = from + 1; i < lines.size(); ++i) {
        const Stmt s = readLine(lines.at(i)).kind;
        if (target == SkipTo::EndLoop) {
            if (s == Stmt::Loop) ++depth;
            else if (s == Stmt::EndLoop && --depth == 0) return i;
            continue;
        }
        if (s == Stmt::If) ++depth;
        else if (s == Stmt::EndIf && --depth == 0) {
            if (atElse) *atElse = false;
            return i;
        } else if (s == Stmt::Else && depth == 1 && target == SkipTo::ElseOrEndIf) {
            if (atElse) *atElse = true;
            return i;
        }
    }
    return -1;
}

} // namespace

EvResult ScriptRunner::RunScript(const QString& component, const QString& event)
{
    EvResult result;
    m_lastError.clear();
    m_cancelled = m_overBudget = false;
    if (!m_enabled)
        return result;
    const QString header = QLatin1Char('[') + component + QLatin1Char('.') + event + QLatin1Char(']');
    const int headerLine = int(m_script.indexOf(header));
    if (headerLine < 0)
        return result;

    TQREvaluator evaluator;
    evaluator.SetDataSets(m_dataSets);
    std::vector<Block> stack;
    const int n = int(m_script.size());
    int line = headerLine + 1;
    qint64 steps = 0;
    try {
        while (line < n && !m_script.at(line).startsWith(u'[')) {
            if (m_cancel && m_cancel()) {
                m_cancelled = true;
                break;
            }
            if (++steps > m_stepBudget) {
                m_overBudget = true;
                m_lastError = QStringLiteral("The script %1 was stopped after %2 statements: it seems to loop for ever")
                                  .arg(header)
                                  .arg(m_stepBudget);
                return result;
            }
            const Statement st = readLine(m_script.at(line));
            int next = line + 1;
            switch (st.kind) {
            case Stmt::Comment:
                break;
            case Stmt::If: {
                const EvResult cond = evaluator.Calculate(st.text);
                if (cond.kind != ResultKind::Boolean)
                    throw ScriptError{2};
                if (cond.booResult) {
                    stack.push_back({'I'});
                } else {
                    stack.push_back({'i'});
                    bool atElse = false;
                    const int to = skipForward(m_script, line, SkipTo::ElseOrEndIf, &atElse);
                    if (to < 0) { next = n; break; }
                    if (!atElse) stack.pop_back();
                    next = to + 1;
                }
                break;
            }
            case Stmt::Else:
                if (stack.empty() || (stack.back().kind != 'I' && stack.back().kind != 'i'))
                    throw ScriptError{3};
                if (stack.back().kind == 'I') {
                    const int to = skipForward(m_script, line, SkipTo::EndIf, nullptr);
                    if (to < 0) { next = n; break; }
                    stack.pop_back();
                    next = to + 1;
                }
                break;
            case Stmt::EndIf:
                if (stack.empty() || (stack.back().kind != 'I' && stack.back().kind != 'i'))
                    throw ScriptError{0};
                stack.pop_back();
                break;
            case Stmt::Loop:
                stack.push_back({'L', line});
                break;
            case Stmt::EndLoop:
                if (stack.empty() || stack.back().kind != 'L')
                    throw ScriptError{1};
                next = stack.back().loopLine + 1;
                break;
            case Stmt::Break:
            case Stmt::BreakLoop: {
                const bool inIf = !stack.empty() && (stack.back().kind == 'I' || stack.back().kind == 'i');
                if (st.kind == Stmt::Break && inIf) {
                    const int to = skipForward(m_script, line, SkipTo::EndIf, nullptr);
                    if (to < 0) { next = n; break; }
                    stack.pop_back();
                    next = to + 1;
                    break;
                }
                if (st.kind == Stmt::Break && (stack.empty() || stack.back().kind != 'L'))
                    throw ScriptError{4};
                int innermost = -1;
                for (int k = int(stack.size()) - 1; k >= 0; --k) {
                    if (stack[size_t(k)].kind == 'L') { innermost = k; break; }
                }
                if (innermost < 0)
                    throw ScriptError{5};
                const int to = skipForward(m_script, line, SkipTo::EndLoop, nullptr);
                if (to < 0) { next = n; break; }
                stack.resize(size_t(innermost));
                next = to + 1;
                break;
            }
            case Stmt::Exit:
                next = n;
                break;
            case Stmt::Return:
                result = evaluator.Calculate(st.text);
                break;
            case Stmt::Formula:
                if (!st.text.isEmpty())
                    evaluator.Calculate(st.text);   // the value is ignored
                break;
            }
            line = next;
        }
    } catch (const ScriptError& e) {
        m_lastError = QStringLiteral("Script error on line ") + QString::number(line) + QStringLiteral(": ") +
                      QString::fromLatin1(scriptErrorMessage(e.number)) + QLatin1Char('\n') + QStringLiteral("Line ") +
                      QString::number(line) + QStringLiteral(": \"") + m_script.at(line) + QLatin1Char('"');
        cutResultText(m_lastError);
    } catch (const EvaluatorException& e) {
        m_lastError = e.message();
    } catch (const std::exception& e) {
        m_lastError = QString::fromLocal8Bit(e.what());
    }
    if (!m_lastError.isEmpty())
        dialogService().errorBox(m_lastError);
    return result;
}

} // namespace cm
