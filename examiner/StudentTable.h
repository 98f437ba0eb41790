#pragma once
// The student table (Students / StudentCount of the examiner's state) without any widget: the
// lookup by name, the admission rules of a registration, and the removals and registrations that
// wait while a loop walks the table by position. The main window keeps the selector and the grid
// rows in step with what these operations do.
#include "ExaminerState.h"

#include <QList>
#include <QString>

#include <functional>

// Why a registration is refused (Admitted: it is not). Known: the name is registered from this
// address already; NameTaken: from another one.
enum class TAdmission {
    Admitted,
    Known,
    NameTaken,
    EmptyName,
    ControlCharacter,
    NameTooLong,
    TableFull,
    AddressFull
};

class TStudentTable {
public:
    static constexpr int kMaxNameLength = 64;
    static constexpr int kMaxStudents = 1000;
    static constexpr int kMaxNamesPerAddress = 4;

    explicit TStudentTable(TExaminerState& state) : S(state) {}

    // Index of the first student whose whole name equals name without regard to letter case
    // (Cyrillic included), -1 when none.
    int IndexOf(const QString& name) const;
    // Whether a registration of name from address may be added now.
    TAdmission Admit(const QString& name, const QString& address) const;

    // While an archive is shown its rows are the table: the registered students wait aside
    // (those of the table when the archive was opened, and those who register meanwhile, under
    // the same rules) until the archive is closed.
    void PutAside();
    TAdmission AdmitAside(const QString& name, const QString& address) const;
    // The address name was registered from, in the table or among those aside; empty when none.
    QString AddressOf(const QString& name, bool aside) const;
    void KeepAside(const QString& name, const QString& address);
    // The student with name from address leaves: his name as registered, empty when no such
    // one waits.
    QString DropAside(const QString& name, const QString& address);
    // The students who wait, in the order they registered; none wait afterwards.
    TNet TakeAside();
    // Appends a student (the caller admitted him); returns his index.
    int Append(const QString& name, const QString& address);
    // Removes entry k; false when there is none.
    bool RemoveAt(int k);
    // The whole table replaced (an archive opened) or emptied (a new testing, an archive closed).
    void Assign(const TNet& students);
    void Clear() { Assign({}); }
    // The student with name, registered from address (dotted IPv4); -1 when there is no such
    // student or he registered from another address.
    int IndexFrom(const QString& name, const QString& address) const;
    // Whether a student registered from address.
    bool HasAddress(const QString& address) const;
    // The name as registered of the student with name from address, in the table or aside;
    // empty when there is none.
    QString RegisteredName(const QString& name, const QString& address) const;

    // Work that waits while a loop walks the table: a removal, or a registration of a name whose
    // removal waits. Kept in arrival order.
    struct TPending {
        bool remove = true;
        QString name;
        QString address; // registrations only
    };
    // Removals (and registrations queued behind them) are held while Holding() is true.
    void Hold() { ++hold_; }
    // Ends one hold; when the last ends, returns the work that waited, in order, and forgets it.
    QList<TPending> Release();
    bool Holding() const { return hold_ > 0; }
    void Defer(const TPending& p) { pending_.append(p); }
    // Whether a removal of this name waits.
    bool RemovalPending(const QString& name) const;

    // Runs after every change of who is in the table (Append, RemoveAt, Assign).
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    static TAdmission Admission(const TNet& students, const QString& name, const QString& address);
    void Changed() const;

    TExaminerState& S;
    int hold_ = 0;
    QList<TPending> pending_;
    TNet aside_;
    std::function<void()> changed_;
};
