#pragma once

// A pseudo-terminal standing in for the serial line of a label printer.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace labels_test {

// A pseudo-terminal: the program opens its device (the slave) as a serial port; the test reads what
// arrives at the master, the printer's end of the line.
class Pty {
public:
    Pty() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) return;
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        // The slave stays open here as well, so the line survives the program closing its end.
        m_slave = slave;
        m_path = QString::fromLocal8Bit(name);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() {
        closeMaster();
        if (m_slave >= 0) ::close(m_slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool valid() const { return m_master >= 0; }
    QString path() const { return m_path; }
    int master() const { return m_master; }

    // Everything waiting at the master now.
    QByteArray readAvailable() {
        QByteArray out;
        char buffer[4096];
        while (m_master >= 0) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, n);
        }
        m_received += out;
        return out;
    }
    // Reads until `size` bytes have arrived in all or two seconds passed without a byte.
    const QByteArray& readUntil(qsizetype size) {
        while (m_received.size() < size && m_master >= 0) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) break;
            if (readAvailable().isEmpty()) break;
        }
        return m_received;
    }
    const QByteArray& received() const { return m_received; }
    void closeMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QByteArray m_received;
};

}  // namespace labels_test
