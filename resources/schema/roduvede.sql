-- The seed database "roduvede.db" of the application bundle, schema version 3.
-- At first launch the client copies it into Documents; MaintainDaoImpl
-- (core/storage) brings older copies up to this version step by step and
-- must produce exactly these tables and columns from any older version.
-- Texts are UTF-8; flags are 0 or 1.

-- Key/value facts about the database itself; "schemaVersion" is the version
-- of the tables below.
CREATE TABLE t_metadata (
    key   TEXT PRIMARY KEY NOT NULL,
    value TEXT
);
INSERT INTO t_metadata (key, value) VALUES ('schemaVersion', '3');

-- The customer's own stocks, shown in ascending `sequence`. `name` is null
-- when unknown; `stockType` -1 until a quote tells the class.
CREATE TABLE t_portfolio (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    symbol    TEXT    NOT NULL,
    marketId  INTEGER NOT NULL,
    name      TEXT,
    sequence  INTEGER NOT NULL,
    stockType INTEGER NOT NULL DEFAULT -1,
    groupId   INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX i_portfolio_stock ON t_portfolio (symbol, marketId);

-- Branches the customer has used; the newest has the greatest id; exactly
-- one (the last picked) has isDefault 1.
CREATE TABLE t_salesDepartment (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    code      TEXT    NOT NULL UNIQUE,
    name      TEXT,
    isDefault INTEGER NOT NULL DEFAULT 0
);

-- Pushed messages (the message express), one row per server message id.
-- sendDate is "yyyy-MM-dd", sendTime "HH:mm:ss" with an optional fraction;
-- stockCode and stockName list several stocks joined by ",".
CREATE TABLE t_messageExpress (
    id              INTEGER PRIMARY KEY AUTOINCREMENT,
    messageId       TEXT    NOT NULL UNIQUE,
    senderCode      TEXT    NOT NULL DEFAULT '',
    senderName      TEXT    NOT NULL DEFAULT '',
    sendDate        TEXT    NOT NULL DEFAULT '',
    sendTime        TEXT    NOT NULL DEFAULT '',
    isNeedConfirm   INTEGER NOT NULL DEFAULT 0,
    isFavorite      INTEGER NOT NULL DEFAULT 0,
    isRead          INTEGER NOT NULL DEFAULT 0,
    messageType     INTEGER NOT NULL DEFAULT 0,
    messageLevel    INTEGER NOT NULL DEFAULT 0,
    messageDetailId TEXT    NOT NULL DEFAULT '',
    messageTitle    TEXT    NOT NULL DEFAULT '',
    messageContent  TEXT    NOT NULL DEFAULT '',
    week            INTEGER NOT NULL DEFAULT 0,
    channelName     TEXT    NOT NULL DEFAULT '',
    stockCode       TEXT    NOT NULL DEFAULT '',
    stockName       TEXT    NOT NULL DEFAULT '',
    messageUrl      TEXT    NOT NULL DEFAULT ''
);
CREATE INDEX i_messageExpress_time ON t_messageExpress (sendDate, sendTime);
CREATE INDEX i_messageExpress_sender ON t_messageExpress (senderCode);
