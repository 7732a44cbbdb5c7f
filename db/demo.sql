-- A believable day of business for the demo and for the test that checks it: three buyers with their staff,
-- products, customers, cars, and directions of every kind around the current date, so that tomorrow
-- always has work to show and an advance order waits after it.
--
-- The order database keeps code page 949 bytes in latin1 columns, and the server knows no code page 949
-- (only EUC-KR, which lacks syllables such as 똠). This file is kept in UTF-8 for reading and is converted
-- before it is loaded after db/schema.sql into an empty database:
--   iconv -f UTF-8 -t CP949 db/demo.sql | mariadb --default-character-set=latin1 DBNAME
-- Statements end at a semicolon at the end of a line; no text holds a semicolon.

SET NAMES latin1;

-- Buyers (the distributor's suppliers). printtotal 1 adds the product summary to the order sheet;
-- prnlistbyte 1023 prints every label field.
INSERT INTO t_buyer (code, mname, printtotal, prnlistbyte) VALUES
  (1, '라벤청과', 1, 1023),
  (2, '한우리축산', 0, 1023),
  (3, '바다수산', 1, 511);

-- Users. Branch 2 marks a supplier's staff member who may use the program; ADMIN has no password yet
-- (first login: the password box says to press Enter). The others use the password 1234.
-- Users 6 and 7 are the distributor's purchasers who write the directions.
INSERT INTO local_user (code, loginid, loginpwd, c_office, c_client, c_buyer, local_name, branch) VALUES
  (1, 'ADMIN', '', 1, 0, 1, '관리자', 2),
  (2, 'KIM', '1234', 1, 0, 1, '김민준', 2),
  (3, 'LEE', '1234', 1, 0, 2, '이서연', 2),
  (4, 'PARK', '1234', 1, 0, 3, '박지훈', 2),
  (6, 'BUY1', '5678', 1, 0, 0, '정발주', 1),
  (7, 'BUY2', '5678', 1, 0, 0, '윤구매', 1);

INSERT INTO options (optname, optvalue) VALUES ('orderver', '18');

-- Products with their label texts: unit, description, origin, storage, expiry, maker, labels per unit.
-- 양파 comes in kilograms and in nets, so the product totals show it twice.
INSERT INTO t_product (code, mname, unit, mnote, origin, keepway, current, maker, labelunit, c_buyer1) VALUES
  (1, '양파', 'kg', '깐양파 특품', '국내산(무안)', '냉장',
      '입고일로부터 7일', '무안농협', '1', 1),
  (2, '양파', '망', '15kg 망', '국내산(창녕)', '상온',
      '입고일로부터 14일', '창녕농협', '1', 1),
  (3, '대파', '단', '1단 1kg 내외', '국내산(진도)', '냉장',
      '입고일로부터 5일', '진도영농조합', '1', 1),
  (4, '감자', '박스', '수미 10kg', '국내산(평창)', '상온',
      '입고일로부터 14일', '평창감자작목반', '1', 1),
  (5, '깻잎', '봉', '100매', '국내산(밀양)', '냉장',
      '입고일로부터 3일', '밀양깻잎작목반', '2', 1),
  (6, '배추', '포기', '절임용 상품', '국내산(해남)', '냉장',
      '입고일로부터 5일', '해남배추영농', '1', 1),
  (7, '똠양꿍 페이스트', '병', '454g', '태국', '상온',
      '제조일로부터 18개월', '방콕푸드', '1', 1),
  (8, '방울토마토', 'kg', '대추방울', '국내산(부여)', '냉장',
      '입고일로부터 5일', '부여농협', '1', 1),
  (9, '한우 불고기', 'kg', '1등급 앞다리', '국내산(횡성)', '냉장',
      '포장일로부터 5일', '횡성한우협동조합', '1', 2),
  (10, '돼지 앞다리', 'kg', '찌개용', '국내산', '냉장',
      '포장일로부터 5일', '도드람', '1', 2),
  (11, '닭다리살', 'kg', '정육', '국내산', '냉동',
      '제조일로부터 12개월', '하림', '1', 2),
  (12, '고등어', '손', '자반 2마리', '노르웨이', '냉동',
      '제조일로부터 12개월', '부산수산', '1', 3),
  (13, '오징어', 'kg', '손질 몸통', '국내산(동해)', '냉동',
      '제조일로부터 12개월', '동해수산', '1', 3),
  (14, '새우', '팩', '흰다리 500g', '베트남', '냉동',
      '제조일로부터 24개월', '바다식품', '1', 3);

-- The distributor's customers, and the cars that deliver to them.
INSERT INTO t_client (code, mname) VALUES
  (1, '한빛초등학교'),
  (2, '서울중앙병원 영양팀'),
  (3, '행복한도시락 본점'),
  (4, '미소식당'),
  (5, '푸른요양원'),
  (6, '새봄어린이집'),
  (7, '대한건설 구내식당'),
  (8, '바른학교급식센터');

INSERT INTO t_car (code, mname) VALUES
  (1, '1호차'),
  (2, '2호차'),
  (3, '냉동1호');

-- Orders 1 to 8 are the customers' orders for tomorrow, 9 to 12 those of today and yesterday.
INSERT INTO t_order (code, c_client, nickname) VALUES
  (1, 1, '한빛초'), (2, 2, '중앙병원'), (3, 3, '행복도시락'),
  (4, 4, '미소식당'), (5, 5, '푸른요양'), (6, 6, '새봄어린이집'),
  (7, 7, '대한건설'), (8, 8, '바른급식'),
  (9, 1, '한빛초'), (10, 2, '중앙병원'), (11, 3, '행복도시락'),
  (12, 4, '미소식당');

INSERT INTO t_orderuser (code, c_order) VALUES
  (1, 1), (2, 2), (3, 3), (4, 4), (5, 5), (6, 6), (7, 7), (8, 8), (9, 9), (10, 10), (11, 11), (12, 12);

-- Cars are allocated to most orders; 대한건설 and 바른급식 have none yet.
INSERT INTO t_allocate_user (code, c_orderuser, c_car) VALUES
  (1, 1, 1), (2, 2, 1), (3, 3, 2), (4, 4, 2), (5, 5, 3), (6, 6, 3),
  (7, 9, 1), (8, 10, 1), (9, 11, 2), (10, 12, 2);

-- Directions of all four kinds (branch 0 선발, 1 리드, 2 추가, 3 재고) around the current date. Buyer 1
-- has every kind for tomorrow (one of them printed, one without lines yet) and advance orders after it.
-- The remarks (bigo) are the notices printed under the order sheet.
INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, bigo, c_user, c_buyer, state, updatechk) VALUES
  (101, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '09:10', CURRENT_DATE + INTERVAL 1 DAY, 1,
       '내일 입고는 오전 7시까지 후문으로 부탁드립니다.', 6, 1, '', ''),
  (102, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '14:25', CURRENT_DATE + INTERVAL 1 DAY, 2, '', 7, 1, '', ''),
  (103, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE - INTERVAL 1 DAY, '16:05', CURRENT_DATE + INTERVAL 1 DAY, 0,
       '', 6, 1, '', ''),
  (104, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '17:30', CURRENT_DATE + INTERVAL 1 DAY, 3, '', 7, 1,
       '출력', DATE_FORMAT(NOW(), '%Y%m%d %H%i%s')),
  (105, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '18:10', CURRENT_DATE + INTERVAL 1 DAY, 2, '', 6, 1, '', ''),
  (106, CURRENT_DATE + INTERVAL 2 DAY, CURRENT_DATE, '10:00', CURRENT_DATE + INTERVAL 2 DAY, 0, '', 6, 1, '', ''),
  (107, CURRENT_DATE + INTERVAL 3 DAY, CURRENT_DATE, '10:20', CURRENT_DATE + INTERVAL 3 DAY, 0, '', 7, 1, '', ''),
  (108, CURRENT_DATE, CURRENT_DATE - INTERVAL 1 DAY, '09:00', CURRENT_DATE, 1, '', 6, 1,
       '출력', DATE_FORMAT(NOW(), '%Y%m%d %H%i%s')),
  (109, CURRENT_DATE, CURRENT_DATE - INTERVAL 1 DAY, '15:00', CURRENT_DATE, 2, '', 7, 1,
       '출력', DATE_FORMAT(NOW(), '%Y%m%d %H%i%s')),
  (110, CURRENT_DATE - INTERVAL 1 DAY, CURRENT_DATE - INTERVAL 2 DAY, '09:05', CURRENT_DATE - INTERVAL 1 DAY, 1, '',
       6, 1, '출력', DATE_FORMAT(NOW(), '%Y%m%d %H%i%s')),
  (201, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '09:30', CURRENT_DATE + INTERVAL 1 DAY, 1,
       '명절 연휴 전 주문이 많으니 재고를 미리 확인해 주세요.', 7, 2, '', ''),
  (202, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '13:40', CURRENT_DATE + INTERVAL 1 DAY, 2, '', 7, 2, '', ''),
  (203, CURRENT_DATE + INTERVAL 2 DAY, CURRENT_DATE, '11:00', CURRENT_DATE + INTERVAL 2 DAY, 0, '', 6, 2, '', ''),
  (301, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '08:50', CURRENT_DATE + INTERVAL 1 DAY, 1,
       '냉동 제품은 영하 18도 이하로 배송해 주세요.', 6, 3, '', ''),
  (302, CURRENT_DATE + INTERVAL 1 DAY, CURRENT_DATE, '15:20', CURRENT_DATE + INTERVAL 1 DAY, 3, '', 7, 3, '', '');

-- What each customer ordered of each product (one order-user line per order line here).
INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) VALUES
  (1001, 1, 1), (1002, 1, 3), (1003, 2, 4), (1004, 3, 2), (1005, 4, 6), (1006, 5, 5), (1007, 7, 8),
  (1008, 3, 7), (1009, 8, 1), (1010, 2, 3), (1011, 6, 1), (1012, 8, 5), (1013, 1, 4), (1014, 4, 6),
  (1015, 3, 2), (1016, 7, 8), (1017, 2, 4), (1018, 5, 1), (1019, 6, 6), (1020, 9, 1), (1021, 10, 3),
  (1022, 11, 5), (1023, 12, 4), (1024, 9, 1), (1025, 1, 9), (1026, 2, 10), (1027, 4, 11), (1028, 7, 9),
  (1029, 3, 10), (1030, 5, 11), (1031, 1, 12), (1032, 2, 13), (1033, 3, 14), (1034, 6, 12);

-- The order lines: product name as ordered, quantity, remark, direction, product, order-user line.
INSERT INTO t_ordering (code, pname, qnt, bigo, c_direction, c_product, c_orderuser_sub) VALUES
  (1001, '양파', 20, '', 101, 1, 1001),
  (1002, '대파', 15, '흙 없는 것으로', 101, 3, 1002),
  (1003, '감자', 3, '', 101, 4, 1003),
  (1004, '양파', 2, '', 101, 2, 1004),
  (1005, '배추', 30, '김치용', 101, 6, 1005),
  (1006, '깻잎', 10, '', 101, 5, 1006),
  (1007, '방울토마토', 5.5, '', 101, 8, 1007),
  (1008, '똠양꿍 페이스트', 4, '', 101, 7, 1008),
  (1009, '양파', 12.5, '오전 배송', 101, 1, 1009),
  (1010, '대파', 5, '급식 추가분', 102, 3, 1010),
  (1011, '양파', 8, '', 102, 1, 1011),
  (1012, '깻잎', 4, '', 102, 5, 1012),
  (1013, '감자', 10, '선발주 물량', 103, 4, 1013),
  (1014, '배추', 50, '', 103, 6, 1014),
  (1015, '양파', 5, '재고 보충', 104, 2, 1015),
  (1016, '방울토마토', 3, '', 104, 8, 1016),
  (1017, '감자', 6, '', 106, 4, 1017),
  (1018, '양파', 25, '', 106, 1, 1018),
  (1019, '배추', 40, '', 107, 6, 1019),
  (1020, '양파', 18, '', 108, 1, 1020),
  (1021, '대파', 10, '', 108, 3, 1021),
  (1022, '깻잎', 6, '', 108, 5, 1022),
  (1023, '감자', 2, '', 109, 4, 1023),
  (1024, '양파', 15, '', 110, 1, 1024),
  (1025, '한우 불고기', 12, '', 201, 9, 1025),
  (1026, '돼지 앞다리', 20, '찌개용으로 잘라 주세요', 201, 10, 1026),
  (1027, '닭다리살', 15, '', 201, 11, 1027),
  (1028, '한우 불고기', 6, '', 201, 9, 1028),
  (1029, '돼지 앞다리', 8, '', 202, 10, 1029),
  (1030, '닭다리살', 30, '', 203, 11, 1030),
  (1031, '고등어', 40, '', 301, 12, 1031),
  (1032, '오징어', 10, '', 301, 13, 1032),
  (1033, '새우', 25, '껍질 깐 것', 301, 14, 1033),
  (1034, '고등어', 20, '', 302, 12, 1034);
