// The debugging session's Locals and Watch: the selected frame's variables
// read at each stop (arrays too big for gdb's value limit shown by their
// first elements), the watches evaluated, the members of a variable listed
// through variable objects, at most kMaxChildren of them. The variable
// objects are deleted in gdb once Locals no longer shows them (at the next
// stop, or when another frame is chosen), so gdb's memory stays flat over a
// long stepping session.
#include "debugger/DebugSession.h"

#include <memory>
#include <utility>

void DebugSession::refreshLocals(const std::function<void()>& done)
{
    const quint64 generation = m_stopGeneration;
    const int frame = m_selectedFrame;
    auto all = std::make_shared<MiValue>();
    command("-stack-list-variables", {"--all-values"},
            [all](const MiRecord& r) { *all = r.results["variables"]; });
    command("-stack-list-variables", {"--simple-values"},
            [this, all, done, generation, frame](const MiRecord& r) {
                if (generation != m_stopGeneration || frame != m_selectedFrame) {
                    done();
                    return;
                }
                m_locals = ReadMiVariables(*all, r.results["variables"]);
                fillOversizedValues(generation, [this, done] {
                    emit localsChanged();
                    done();
                });
            });
}

void DebugSession::fillOversizedValues(quint64 generation, const std::function<void()>& done)
{
    // "<error reading variable: value requires 1048576 bytes, which is more
    // than max-value-size>": gdb's print limit of 200 elements, read alone.
    auto remaining = std::make_shared<int>(1);
    auto oneDone = [remaining, done] {
        if (--*remaining == 0)
            done();
    };
    for (qsizetype i = 0; i < m_locals.size(); ++i) {
        const DebugVariable& v = m_locals.at(i);
        if (!v.value.startsWith("<error reading variable: value requires") || !v.type.endsWith(']'))
            continue;
        ++*remaining;
        command("-data-evaluate-expression", {"(" + v.name + ")[0]@200"},
                [this, i, name = v.name, generation, oneDone](const MiRecord& r) {
                    if (generation == m_stopGeneration && i < m_locals.size() &&
                        m_locals.at(i).name == name && r.isResult("done"))
                        m_locals[i].value = r.results["value"].bytes() + "...";
                    oneDone();
                });
    }
    oneDone();
}

void DebugSession::refreshWatches(const std::function<void()>& done)
{
    if (m_watches.isEmpty()) {
        done();
        return;
    }
    auto remaining = std::make_shared<int>(int(m_watches.size()));
    for (int i = 0; i < m_watches.size(); ++i) {
        evaluateWatch(i, [this, remaining, done] {
            if (--*remaining == 0) {
                emit watchesChanged();
                done();
            }
        });
    }
}

void DebugSession::evaluateWatch(int index, const std::function<void()>& done)
{
    const QByteArray expression = m_watches.at(index).expression;
    command("-data-evaluate-expression", {expression},
            [this, index, expression, done](const MiRecord& r) {
                // The list may have changed while the answer was on its way.
                if (index < m_watches.size() && m_watches.at(index).expression == expression) {
                    DebugWatch& watch = m_watches[index];
                    const bool error = r.isResult("error");
                    const QByteArray value =
                        error ? r.results["msg"].bytes() : r.results["value"].bytes();
                    watch.changed =
                        watch.evaluated && !error && !watch.error && value != watch.value;
                    watch.value = value;
                    watch.error = error;
                    watch.evaluated = true;
                }
                done();
            });
}

void DebugSession::addWatch(const QByteArray& expression)
{
    const QByteArray trimmed = expression.trimmed();
    if (trimmed.isEmpty())
        return;
    m_watches.append(DebugWatch{trimmed, {}, false, false, false});
    if (m_state == State::Stopped)
        evaluateWatch(int(m_watches.size() - 1), [this] { emit watchesChanged(); });
    else
        emit watchesChanged();
}

void DebugSession::removeWatch(int index)
{
    if (index < 0 || index >= m_watches.size())
        return;
    m_watches.removeAt(index);
    emit watchesChanged();
}

void DebugSession::listChildren(const QByteArray& expressionOrVarName, bool isVarName,
                                ChildrenDone done)
{
    if (isVarName) {
        command("-var-info-num-children", {expressionOrVarName},
                [this, varName = expressionOrVarName, done](const MiRecord& r) {
                    listCapped(varName, r.results["numchild"].number().value_or(0), done);
                });
        return;
    }
    command("-var-create", {"-", "*", expressionOrVarName},
            [this, done](const MiRecord& r) {
                if (r.isResult("error")) {
                    done({}, false);
                    return;
                }
                keepVariableObject(r.results["name"].bytes());
                listCapped(r.results["name"].bytes(), r.results["numchild"].number().value_or(0),
                           done);
            });
}

void DebugSession::listCapped(const QByteArray& varName, qint64 childCount,
                              const ChildrenDone& done)
{
    auto list = [this, done](const QByteArray& name, bool more) {
        command("-var-list-children", {"--all-values", name, "0", QByteArray::number(kMaxChildren)},
                [done, more](const MiRecord& r) {
                    done(ReadMiChildren(r.results), more || r.results["has_more"].bytes() == "1");
                });
    };
    if (childCount <= kMaxChildren) {
        list(varName, false);
        return;
    }
    // gdb walks every element of a big array to list even a few of them
    // (seconds for a megabyte): the first elements are listed through an
    // object of their own, "(a)[0]@1000". Not an array (a structure with
    // that many members): listed as it is.
    command("-var-info-path-expression", {varName}, [this, varName, list, done](const MiRecord& r) {
        const QByteArray path = r.results["path_expr"].bytes();
        if (path.isEmpty()) {
            list(varName, true);
            return;
        }
        command("-var-create", {"-", "*", "(" + path + ")[0]@" + QByteArray::number(kMaxChildren)},
                [this, varName, list](const MiRecord& created) {
                    if (created.isResult("error")) {
                        list(varName, true);
                        return;
                    }
                    keepVariableObject(created.results["name"].bytes());
                    list(created.results["name"].bytes(), true);
                });
    });
}

void DebugSession::keepVariableObject(const QByteArray& name)
{
    // One made for a Locals drawn anew since it was asked for goes at the
    // next redraw, like the others (its members are listed first).
    if (!name.isEmpty())
        m_varObjects.append(name);
}

void DebugSession::deleteVariableObjects()
{
    // A root takes its children along.
    for (const QByteArray& name : std::exchange(m_varObjects, {}))
        command("-var-delete", {name});
}
