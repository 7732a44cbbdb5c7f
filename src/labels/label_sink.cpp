#include "labels/label_sink.h"

#include "labels/label_sink_kinds.h"

namespace labels {

namespace {

using Maker = std::unique_ptr<LabelSink> (*)(const label_settings::LabelTarget&);

// A port type that is no number: the run cannot know its port.
class UnreadablePortSink : public LabelSink {
public:
    explicit UnreadablePortSink(const QString& text) : m_text(text) {}
    bool open() override {
        m_failure = {kTypeMismatch, QStringLiteral("Type mismatch: PORTTYPE \"%1\"").arg(m_text)};
        return false;
    }
    bool write(const QByteArray&) override { return false; }
    bool finish() override { return true; }

private:
    QString m_text;
};

// The kinds a port type names: 0 the parallel port, any other the serial port of that number.
std::unique_ptr<LabelSink> MakePortSink(const label_settings::LabelTarget& target) {
    if (!target.portTypeValid) return std::make_unique<UnreadablePortSink>(target.portTypeText);
    return target.portType == 0 ? MakeDeviceFileSink(target) : MakeSerialSink(target);
}

struct Kind {
    const QString& name;  // PORTKIND
    Maker make;
};

const Kind kKinds[] = {
    {label_settings::kKindQueue, MakeQueueSink},
    {label_settings::kKindNetwork, MakeNetworkSink},
};

}  // namespace

bool LabelSink::fail(long number, const QString& reason) {
    m_failure = {number, QStringLiteral("%1: %2").arg(m_where, reason), false};
    return false;
}

bool LabelSink::cancelled() {
    m_failure = {0, QString(), true};
    return false;
}

std::unique_ptr<LabelSink> MakeLabelSink(const label_settings::LabelTarget& target) {
    for (const Kind& kind : kKinds)
        if (target.kind == kind.name) return kind.make(target);
    return MakePortSink(target);
}

QString PortOpenAdvice(const QString& portName, const QString& path, long failure, const QString& group) {
    const QString port = QStringLiteral("%1 (%2)").arg(portName, path.isEmpty() ? QStringLiteral("-") : path);
    if (failure == kNoPermission)
        return QStringLiteral("라벨 프린터 포트 %1를 쓸 권한이 없습니다. 관리자에게 %2 권한을 요청하세요.")
            .arg(port, group);
    return QStringLiteral(
               "라벨 프린터 포트 %1를 열 수 없습니다. 프린터가 연결되어 켜져 있는지, [포트] 설정이 맞는지 "
               "확인하세요.")
        .arg(port);
}

}  // namespace labels
