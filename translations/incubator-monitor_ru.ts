<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AlarmBands</name>
    <message>
        <source>Т1 Тревога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т2 Тревога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выше</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ниже</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«%1» — не целое число</translation>
    </message>
    <message>
        <source>Не в диапазоне (0..50.0)  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не в диапазоне (0..99)  </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AlarmSignalling</name>
    <message>
        <source>Влажность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Температура T2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Температура T1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>За пределами допустимых значений!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Autorun</name>
    <message>
        <source>Failed to create key %1</source>
        <translation>Не удалось создать ключ %1</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Не удалось записать данные для «%1»</translation>
    </message>
</context>
<context>
    <name>ChartWindow</name>
    <message>
        <source>строка %1, всего %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DailyLog</name>
    <message>
        <source>Статистика</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статистика снова сохраняется: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось сохранить статистику: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Строки сохранятся при следующей попытке.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DailySummary</name>
    <message>
        <source>Дата	Строк	T1 мин	T1 макс	T1 средн	T2 мин	T2 макс	T2 средн	HM мин	HM макс	HM средн	T1 вне, мин	T2 вне, мин	HM вне, мин	Перевороты	Нагрев, %</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Применить</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ESerialPortError</name>
    <message>
        <source> (error code: %1)</source>
        <translation> (код ошибки: %1)</translation>
    </message>
    <message>
        <source>Unable to open com port</source>
        <translation>Не удалось открыть ком порт</translation>
    </message>
    <message>
        <source>ReadFile function failed</source>
        <translation>Сбой чтения из порта (ReadFile)</translation>
    </message>
    <message>
        <source>PurgeComm function failed</source>
        <translation>Сбой очистки очередей порта (PurgeComm)</translation>
    </message>
    <message>
        <source>Unable to get async status</source>
        <translation>Не удалось узнать состояние обмена с портом</translation>
    </message>
    <message>
        <source>SetCommState function failed</source>
        <translation>Сбой настройки порта (SetCommState)</translation>
    </message>
    <message>
        <source>SetCommTimeouts failed</source>
        <translation>Сбой настройки тайм-аутов порта (SetCommTimeouts)</translation>
    </message>
    <message>
        <source>SetupComm function failed</source>
        <translation>Сбой настройки очередей порта (SetupComm)</translation>
    </message>
    <message>
        <source>ClearCommError function failed</source>
        <translation>Сбой сброса ошибки порта (ClearCommError)</translation>
    </message>
    <message>
        <source>EscapeCommFunction function failed</source>
        <translation>Сбой управления линиями порта (EscapeCommFunction)</translation>
    </message>
    <message>
        <source>Failed to store settings</source>
        <translation>Не удалось сохранить настройки</translation>
    </message>
    <message>
        <source>Failed to load settings</source>
        <translation>Не удалось загрузить настройки</translation>
    </message>
    <message>
        <source>Registry error</source>
        <translation>Ошибка реестра</translation>
    </message>
    <message>
        <source>Serial port error %1</source>
        <translation>Ошибка последовательного порта %1</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
</context>
<context>
    <name>FrameDecoder</name>
    <message>
        <source>Ошибка в данных!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не совпадает контрольная сумма.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JournalFiles</name>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Не удаётся создать файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. It is not a regular file.</source>
        <translation>Не удаётся открыть файл «%1»: это не обычный файл.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Не удаётся открыть файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. It holds %2 MB; a journal file may hold at most %3 MB.</source>
        <translation>Не удаётся открыть файл «%1»: в нём %2 МБ, а файл журнала может занимать не больше %3 МБ.</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Не удаётся прочитать файл «%1». %2</translation>
    </message>
</context>
<context>
    <name>JournalOpening</name>
    <message>
        <source>Открытие файла </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JournalView</name>
    <message>
        <source>Вырезать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MqttDialog</name>
    <message>
        <source>MQTT</source>
        <translation>MQTT</translation>
    </message>
    <message>
        <source>Публиковать на брокере MQTT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брокер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пользователь:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TLS, с проверкой сертификата брокера</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>сертификаты системы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Центр сертификации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя инкубатора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>incubator/&lt;имя&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тема:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обнаружение Home Assistant</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Префикс обнаружения:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сертификаты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Проверка соединения с %1:%2…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <source>адрес не найден</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>брокер недоступен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>брокер не принял имя пользователя или пароль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>сертификат брокера не подтверждён</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>брокер не отвечает</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>соединение потеряно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>брокер отказал в соединении</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: соединение с брокером %1 установлено.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: нет соединения с брокером %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MqttSettings</name>
    <message>
        <source>MQTT: не указан адрес брокера (Host).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: порт брокера (Port) должен быть от 1 до 65535, а не %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: тема (Topic) не может быть пустой и содержать «+», «#» или нулевой символ: «%1».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: префикс обнаружения (DiscoveryPrefix) не может быть пустым и содержать «+», «#» или нулевой символ: «%1».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT: не читается файл центра сертификации (CaFile) «%1».</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputAnalysis</name>
    <message>
        <source>_Выключение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Движение лотков -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Реверс  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Движение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Влажность -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Увлажнение включено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Разность между Т1 и Т2 -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Включение вывода НАГРЕВ (2) -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Звуковая сигнализация -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Включение вывода аварийного охлаждения -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Включение вывода аварийного реле -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 - Звуковая сигнализация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2 - Включение вывода НАГРЕВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3 - Разность между Т1 и Т2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4 - Увлажнение включено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5 - Движение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6 - Реверс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>7 - Включение вывода аварийного охлаждения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8 - Включение вывода аварийного реле</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReceivePath</name>
    <message>
        <source>Внимание!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Старт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп    </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Старт  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет данных от инкубатора.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не открыт ком порт </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не могу открыть порт: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Связь с портом восстановлена: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Потеряна связь с портом: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RemotePublishing</name>
    <message>
        <source>MQTT…</source>
        <translation>MQTT…</translation>
    </message>
    <message>
        <source>Веб-страница…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <source>Unable to read %1</source>
        <translation>Не удаётся прочитать %1</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Совпадение имен.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Такой файл есть.  Продолжить?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Монитор инкубатора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Температура</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тчк</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выше</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ниже</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т1 Тревога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т2 Тревога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фон</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сетка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить как..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить график как..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Правка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сброс тревоги</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать в буфер обмена HM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Анализ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Справка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ком порт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>О программе</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Завершение работы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить статистику?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormLog</name>
    <message>
        <source>Перевороты лотков</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разность T1 T2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включение нагрева</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Звуковой сигнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Аварийное охлаждение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Аварийное реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Анализ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сводка по дням</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Правка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormOverview</name>
    <message>
        <source>Щелчок показывает это время на графике главного окна и держит его там; щелчок у правого края — снова последние строки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormSettings</name>
    <message>
        <source>Настойки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Автозапуск программы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Скрывать в трей при запуске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сворачивать в трей</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открывать порт при запуске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигнализировать при отсутствии данных от инкубатора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подавать звуковой сигнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Через сколько секунд выводить данные на график</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Через сколько минут сохранять статистику</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 - не сохранять</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрешить тревогу от</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Влажности</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Звук тревоги</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повтор звука через</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>сек.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Да</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Через сколько секунд выводить данные на график и статистику.
Работает по принципу: сколько раз пропустить принятые данные
при построении графика.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TGraphM</name>
    <message>
        <source>М: %1%</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TPortSetupDialog</name>
    <message>
        <source>Setup</source>
        <translation>Настройка порта</translation>
    </message>
    <message>
        <source> Settings </source>
        <translation> Параметры </translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Data bits</source>
        <translation>Биты данных</translation>
    </message>
    <message>
        <source>Stop bits</source>
        <translation>Стоповые биты</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>Чётность</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>Управление потоком</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>TTrayIcon</name>
    <message>
        <source>Показать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Скрыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TfAbout</name>
    <message>
        <source>О программе</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>V1.22   24.04.2012 (версия SHT10)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Домашняя страничка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В программе использованны следующие компоненты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2D графики</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt Serial Port (список портов)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewFont</name>
    <message>
        <source>Шрифт больше %1 пунктов не годится: шрифт не изменён.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebDialog</name>
    <message>
        <source>Веб-страница</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать инкубатор на веб-странице</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>127.0.0.1: только этот компьютер; 0.0.0.0: все сети компьютера</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>127.0.0.1 — только этот компьютер, 0.0.0.0 — вся сеть фермы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Новый ключ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Монитор инкубатора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Т3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет данных от инкубатора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные поступают</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данных нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет связи с программой</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выходы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Последние 6 часов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Весь журнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Дневные файлы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Последняя строка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Зуммер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нагрев</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разница T1-T2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Увлажнитель</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Поворот: реверс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Поворот: движение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Охлаждение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Аварийное реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>КБ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebPublisher</name>
    <message>
        <source>Веб-страница: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веб-страница не открыта: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebSettings</name>
    <message>
        <source>Веб-страница: адрес (Listen) «%1» не является IP-адресом.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веб-страница: порт (Port) должен быть от 1 до 65535, а не %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веб-страница: ключ доступа (Token) нужен, когда страница видна в сети: не менее 16 латинских букв и цифр.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
