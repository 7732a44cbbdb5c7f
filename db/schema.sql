-- The order database as the program relies on it (tests and the demo load this file).
-- Texts are stored as code page 949 bytes in latin1 columns: the client's latin1 connection passes the
-- bytes through unchanged, and the program decodes them itself. The binary collation (latin1_bin) sorts
-- and compares those bytes as they are, which puts the common Hangul syllables in 가나다 order; the
-- default latin1 collation would weigh them as Western letters and mix them up.
-- Indexes serve the joins of the order browser and its filters by buyer and by each date kind.

SET NAMES latin1;

CREATE TABLE local_user (
  code        INT NOT NULL AUTO_INCREMENT,
  -- Login identifiers compare without regard to letter case, as the admission by identifier expects.
  loginid     VARCHAR(30) COLLATE latin1_swedish_ci NOT NULL DEFAULT '',
  loginpwd    VARCHAR(50) NULL,
  c_office    INT NOT NULL DEFAULT 0,
  c_client    INT NOT NULL DEFAULT 0,
  c_buyer     INT NOT NULL DEFAULT 0,
  local_name  VARCHAR(50) NOT NULL DEFAULT '',
  branch      INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_local_user_loginid (loginid),
  KEY ix_local_user_buyer (c_buyer)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE options (
  optname   VARCHAR(50) NOT NULL,
  optvalue  VARCHAR(255) NOT NULL DEFAULT '',
  KEY ix_options_name (optname)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_buyer (
  code         INT NOT NULL AUTO_INCREMENT,
  mname        VARCHAR(100) NOT NULL DEFAULT '',
  printtotal   INT NOT NULL DEFAULT 0,
  prnlistbyte  INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_direction (
  code       INT NOT NULL AUTO_INCREMENT,
  sdate      DATE NULL,
  ddate      DATE NULL,
  dtime      VARCHAR(8) NOT NULL DEFAULT '',
  bdate      DATE NULL,
  branch     INT NOT NULL DEFAULT 0,
  bigo       VARCHAR(255) NOT NULL DEFAULT '',
  c_user     INT NOT NULL DEFAULT 0,
  c_buyer    INT NOT NULL DEFAULT 0,
  state      VARCHAR(20) NOT NULL DEFAULT '',
  updatechk  VARCHAR(20) NOT NULL DEFAULT '',
  PRIMARY KEY (code),
  -- The printing state and the kind ride along in each buyer-and-date index: the main window's watch
  -- counts a day's directions (or the advance ones after it) and their states from the index alone,
  -- without reading a row (src/db/INDEXES.md).
  KEY ix_direction_buyer_sdate (c_buyer, sdate, state, branch),
  KEY ix_direction_buyer_ddate (c_buyer, ddate, state, branch),
  KEY ix_direction_buyer_bdate (c_buyer, bdate, state, branch),
  KEY ix_direction_user (c_user)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_product (
  code       INT NOT NULL AUTO_INCREMENT,
  mname      VARCHAR(100) NOT NULL DEFAULT '',
  unit       VARCHAR(20) NOT NULL DEFAULT '',
  mnote      VARCHAR(255) NOT NULL DEFAULT '',
  origin     VARCHAR(50) NOT NULL DEFAULT '',
  keepway    VARCHAR(50) NOT NULL DEFAULT '',
  current    VARCHAR(50) NOT NULL DEFAULT '',
  maker      VARCHAR(100) NOT NULL DEFAULT '',
  labelunit  VARCHAR(20) NOT NULL DEFAULT '',
  c_buyer1   INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_product_buyer (c_buyer1)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_client (
  code   INT NOT NULL AUTO_INCREMENT,
  mname  VARCHAR(100) NOT NULL DEFAULT '',
  PRIMARY KEY (code)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_order (
  code      INT NOT NULL AUTO_INCREMENT,
  c_client  INT NOT NULL DEFAULT 0,
  nickname  VARCHAR(100) NOT NULL DEFAULT '',
  PRIMARY KEY (code),
  KEY ix_order_client (c_client)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_orderuser (
  code     INT NOT NULL AUTO_INCREMENT,
  c_order  INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_orderuser_order (c_order)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_orderuser_sub (
  code         INT NOT NULL AUTO_INCREMENT,
  c_orderuser  INT NOT NULL DEFAULT 0,
  c_product    INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_orderuser_sub_orderuser (c_orderuser),
  KEY ix_orderuser_sub_product (c_product)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_ordering (
  code             INT NOT NULL AUTO_INCREMENT,
  pname            VARCHAR(100) NOT NULL DEFAULT '',
  qnt              DECIMAL(12,2) NOT NULL DEFAULT 0,
  bigo             VARCHAR(255) NOT NULL DEFAULT '',
  c_direction      INT NOT NULL DEFAULT 0,
  c_product        INT NOT NULL DEFAULT 0,
  c_orderuser_sub  INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_ordering_direction (c_direction, code),
  KEY ix_ordering_product (c_product),
  KEY ix_ordering_orderuser_sub (c_orderuser_sub)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_car (
  code   INT NOT NULL AUTO_INCREMENT,
  mname  VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (code)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;

CREATE TABLE t_allocate_user (
  code         INT NOT NULL AUTO_INCREMENT,
  c_orderuser  INT NOT NULL DEFAULT 0,
  c_car        INT NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY ix_allocate_user_orderuser (c_orderuser),
  KEY ix_allocate_user_car (c_car)
) ENGINE=InnoDB DEFAULT CHARSET=latin1 COLLATE=latin1_bin;
