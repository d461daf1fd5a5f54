<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>AlarmBands</name>
    <message>
        <source>Не в диапазоне (0..50.0)  </source>
        <translation>Out of range (0..50.0)  </translation>
    </message>
    <message>
        <source>Не в диапазоне (0..99)  </source>
        <translation>Out of range (0..99)  </translation>
    </message>
    <message>
        <source>Т1 Тревога</source>
        <translation>T1 Alarm</translation>
    </message>
    <message>
        <source>Т2 Тревога</source>
        <translation>T2 Alarm</translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Выше</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Ниже</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
</context>
<context>
    <name>AlarmSignalling</name>
    <message>
        <source>Влажность</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Температура T2</source>
        <translation>Temperature T2</translation>
    </message>
    <message>
        <source>Температура T1</source>
        <translation>Temperature T1</translation>
    </message>
    <message>
        <source>За пределами допустимых значений!</source>
        <translation>Outside the permitted values!</translation>
    </message>
</context>
<context>
    <name>Autorun</name>
    <message>
        <source>Failed to create key %1</source>
        <translation>Failed to create key %1</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Failed to set data for &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>ChartWindow</name>
    <message>
        <source>строка %1, всего %2</source>
        <translation>line %1 of %2</translation>
    </message>
</context>
<context>
    <name>DailyLog</name>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Статистика снова сохраняется: </source>
        <translation>Statistics are being saved again: </translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Не удалось сохранить статистику: </source>
        <translation>Could not save the statistics: </translation>
    </message>
    <message>
        <source>Строки сохранятся при следующей попытке.</source>
        <translation>The lines will be saved at the next attempt.</translation>
    </message>
</context>
<context>
    <name>DailySummary</name>
    <message>
        <source>Дата	Строк	T1 мин	T1 макс	T1 средн	T2 мин	T2 макс	T2 средн	HM мин	HM макс	HM средн	T1 вне, мин	T2 вне, мин	HM вне, мин	Перевороты	Нагрев, %</source>
        <translation>Date	Lines	T1 min	T1 max	T1 mean	T2 min	T2 max	T2 mean	HM min	HM max	HM mean	T1 out, min	T2 out, min	HM out, min	Tray turns	Heater, %</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>ESerialPortError</name>
    <message>
        <source> (error code: %1)</source>
        <translation> (error code: %1)</translation>
    </message>
    <message>
        <source>Unable to open com port</source>
        <translation>Unable to open com port</translation>
    </message>
    <message>
        <source>ReadFile function failed</source>
        <translation>ReadFile function failed</translation>
    </message>
    <message>
        <source>PurgeComm function failed</source>
        <translation>PurgeComm function failed</translation>
    </message>
    <message>
        <source>Unable to get async status</source>
        <translation>Unable to get async status</translation>
    </message>
    <message>
        <source>SetCommState function failed</source>
        <translation>SetCommState function failed</translation>
    </message>
    <message>
        <source>SetCommTimeouts failed</source>
        <translation>SetCommTimeouts failed</translation>
    </message>
    <message>
        <source>SetupComm function failed</source>
        <translation>SetupComm function failed</translation>
    </message>
    <message>
        <source>ClearCommError function failed</source>
        <translation>ClearCommError function failed</translation>
    </message>
    <message>
        <source>EscapeCommFunction function failed</source>
        <translation>EscapeCommFunction function failed</translation>
    </message>
    <message>
        <source>Failed to store settings</source>
        <translation>Failed to store settings</translation>
    </message>
    <message>
        <source>Failed to load settings</source>
        <translation>Failed to load settings</translation>
    </message>
    <message>
        <source>Registry error</source>
        <translation>Registry error</translation>
    </message>
    <message>
        <source>Serial port error %1</source>
        <translation>Serial port error %1</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Unknown error</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>FrameDecoder</name>
    <message>
        <source>Ошибка в данных!</source>
        <translation>Error in the data!</translation>
    </message>
    <message>
        <source>Не совпадает контрольная сумма.</source>
        <translation>The checksum does not match.</translation>
    </message>
</context>
<context>
    <name>JournalFiles</name>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. It is not a regular file.</source>
        <translation>Cannot open file &quot;%1&quot;. It is not a regular file.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Cannot open file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. It holds %2 MB; a journal file may hold at most %3 MB.</source>
        <translation>Cannot open file &quot;%1&quot;. It holds %2 MB; a journal file may hold at most %3 MB.</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Cannot read file &quot;%1&quot;. %2</translation>
    </message>
</context>
<context>
    <name>JournalOpening</name>
    <message>
        <source>Открытие файла </source>
        <translation>Opening the file </translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>JournalView</name>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Select all</translation>
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
        <translation>Publish to an MQTT broker</translation>
    </message>
    <message>
        <source>Брокер:</source>
        <translation>Broker:</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Пользователь:</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>TLS, с проверкой сертификата брокера</source>
        <translation>TLS, checking the broker&apos;s certificate</translation>
    </message>
    <message>
        <source>сертификаты системы</source>
        <translation>the system&apos;s certificates</translation>
    </message>
    <message>
        <source>Центр сертификации:</source>
        <translation>Certificate authority:</translation>
    </message>
    <message>
        <source>Имя инкубатора:</source>
        <translation>Incubator name:</translation>
    </message>
    <message>
        <source>incubator/&lt;имя&gt;</source>
        <translation>incubator/&lt;name&gt;</translation>
    </message>
    <message>
        <source>Тема:</source>
        <translation>Topic:</translation>
    </message>
    <message>
        <source>Обнаружение Home Assistant</source>
        <translation>Home Assistant discovery</translation>
    </message>
    <message>
        <source>Префикс обнаружения:</source>
        <translation>Discovery prefix:</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Сертификаты</source>
        <translation>Certificates</translation>
    </message>
    <message>
        <source>Проверка соединения с %1:%2…</source>
        <translation>Connecting to %1:%2…</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <source>адрес не найден</source>
        <translation>address not found</translation>
    </message>
    <message>
        <source>брокер недоступен</source>
        <translation>broker unreachable</translation>
    </message>
    <message>
        <source>брокер не принял имя пользователя или пароль</source>
        <translation>the broker refused the user name or password</translation>
    </message>
    <message>
        <source>сертификат брокера не подтверждён</source>
        <translation>the broker&apos;s certificate was not accepted</translation>
    </message>
    <message>
        <source>брокер не отвечает</source>
        <translation>the broker does not answer</translation>
    </message>
    <message>
        <source>соединение потеряно</source>
        <translation>connection lost</translation>
    </message>
    <message>
        <source>брокер отказал в соединении</source>
        <translation>the broker refused the connection</translation>
    </message>
    <message>
        <source>MQTT: соединение с брокером %1 установлено.</source>
        <translation>MQTT: connected to the broker %1.</translation>
    </message>
    <message>
        <source>MQTT: нет соединения с брокером %1: %2</source>
        <translation>MQTT: no connection to the broker %1: %2</translation>
    </message>
</context>
<context>
    <name>MqttSettings</name>
    <message>
        <source>MQTT: не указан адрес брокера (Host).</source>
        <translation>MQTT: no broker address (Host).</translation>
    </message>
    <message>
        <source>MQTT: порт брокера (Port) должен быть от 1 до 65535, а не %1.</source>
        <translation>MQTT: the broker&apos;s port (Port) must be 1 to 65535, not %1.</translation>
    </message>
    <message>
        <source>MQTT: тема (Topic) не может быть пустой и содержать «+», «#» или нулевой символ: «%1».</source>
        <translation>MQTT: the topic (Topic) may not be empty or hold &quot;+&quot;, &quot;#&quot; or a NUL character: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>MQTT: префикс обнаружения (DiscoveryPrefix) не может быть пустым и содержать «+», «#» или нулевой символ: «%1».</source>
        <translation>MQTT: the discovery prefix (DiscoveryPrefix) may not be empty or hold &quot;+&quot;, &quot;#&quot; or a NUL character: &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>MQTT: не читается файл центра сертификации (CaFile) «%1».</source>
        <translation>MQTT: the certificate authority file (CaFile) &quot;%1&quot; cannot be read.</translation>
    </message>
</context>
<context>
    <name>OutputAnalysis</name>
    <message>
        <source>_Выключение</source>
        <translation>_Off</translation>
    </message>
    <message>
        <source>- Движение лотков -</source>
        <translation>- Tray movement -</translation>
    </message>
    <message>
        <source>Реверс  </source>
        <translation>Reverse </translation>
    </message>
    <message>
        <source>Движение</source>
        <translation>Movement</translation>
    </message>
    <message>
        <source>- Влажность -</source>
        <translation>- Humidity -</translation>
    </message>
    <message>
        <source>Увлажнение включено</source>
        <translation>Humidifier on</translation>
    </message>
    <message>
        <source>- Разность между Т1 и Т2 -</source>
        <translation>- Difference between T1 and T2 -</translation>
    </message>
    <message>
        <source>Включение</source>
        <translation>On</translation>
    </message>
    <message>
        <source>- Включение вывода НАГРЕВ (2) -</source>
        <translation>- HEATING output (2) on -</translation>
    </message>
    <message>
        <source>- Звуковая сигнализация -</source>
        <translation>- Sound signal -</translation>
    </message>
    <message>
        <source>- Включение вывода аварийного охлаждения -</source>
        <translation>- Emergency cooling output on -</translation>
    </message>
    <message>
        <source>- Включение вывода аварийного реле -</source>
        <translation>- Emergency relay output on -</translation>
    </message>
    <message>
        <source>1 - Звуковая сигнализация</source>
        <translation>1 - Sound signal</translation>
    </message>
    <message>
        <source>2 - Включение вывода НАГРЕВ</source>
        <translation>2 - HEATING output on</translation>
    </message>
    <message>
        <source>3 - Разность между Т1 и Т2</source>
        <translation>3 - Difference between T1 and T2</translation>
    </message>
    <message>
        <source>4 - Увлажнение включено</source>
        <translation>4 - Humidifier on</translation>
    </message>
    <message>
        <source>5 - Движение</source>
        <translation>5 - Movement</translation>
    </message>
    <message>
        <source>6 - Реверс</source>
        <translation>6 - Reverse</translation>
    </message>
    <message>
        <source>7 - Включение вывода аварийного охлаждения</source>
        <translation>7 - Emergency cooling output on</translation>
    </message>
    <message>
        <source>8 - Включение вывода аварийного реле</source>
        <translation>8 - Emergency relay output on</translation>
    </message>
</context>
<context>
    <name>ReceivePath</name>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Старт</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Стоп    </source>
        <translation>Stop    </translation>
    </message>
    <message>
        <source>Старт  </source>
        <translation>Start  </translation>
    </message>
    <message>
        <source>Нет данных от инкубатора.</source>
        <translation>No data from the incubator.</translation>
    </message>
    <message>
        <source>Не открыт ком порт </source>
        <translation>The serial port is not open </translation>
    </message>
    <message>
        <source>Не могу открыть порт: </source>
        <translation>Cannot open the port: </translation>
    </message>
    <message>
        <source>Связь с портом восстановлена: </source>
        <translation>The port is back: </translation>
    </message>
    <message>
        <source>Потеряна связь с портом: </source>
        <translation>Lost the port: </translation>
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
        <translation>Web page…</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Unable to write to %1</translation>
    </message>
    <message>
        <source>Unable to read %1</source>
        <translation>Unable to read %1</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Монитор инкубатора</source>
        <translation>Incubator monitor</translation>
    </message>
    <message>
        <source>Температура</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Тчк</source>
        <translation>Pts</translation>
    </message>
    <message>
        <source>Выше</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Ниже</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Т1 Тревога</source>
        <translation>T1 Alarm</translation>
    </message>
    <message>
        <source>Т2 Тревога</source>
        <translation>T2 Alarm</translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Фон</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Сетка</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Открыть..</source>
        <translation>Open..</translation>
    </message>
    <message>
        <source>Сохранить как..</source>
        <translation>Save as..</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Сброс тревоги</source>
        <translation>Reset alarms</translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т1</source>
        <translation>Copy T1 to the clipboard</translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т2</source>
        <translation>Copy T2 to the clipboard</translation>
    </message>
    <message>
        <source>Копировать в буфер обмена Т3</source>
        <translation>Copy T3 to the clipboard</translation>
    </message>
    <message>
        <source>Копировать в буфер обмена HM</source>
        <translation>Copy HM to the clipboard</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Анализ</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Ком порт</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Совпадение имен.</source>
        <translation>Names match.</translation>
    </message>
    <message>
        <source>Такой файл есть.  Продолжить?</source>
        <translation>This file exists.  Continue?</translation>
    </message>
    <message>
        <source>Завершение работы</source>
        <translation>Closing</translation>
    </message>
    <message>
        <source>Сохранить статистику?</source>
        <translation>Save the statistics?</translation>
    </message>
    <message>
        <source>Сохранить график как..</source>
        <translation>Save chart as..</translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation>Overview</translation>
    </message>
</context>
<context>
    <name>TFormLog</name>
    <message>
        <source>Перевороты лотков</source>
        <translation>Tray turns</translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Разность T1 T2</source>
        <translation>Difference T1 T2</translation>
    </message>
    <message>
        <source>Включение нагрева</source>
        <translation>Heating on</translation>
    </message>
    <message>
        <source>Звуковой сигнал</source>
        <translation>Sound signal</translation>
    </message>
    <message>
        <source>Аварийное охлаждение</source>
        <translation>Emergency cooling</translation>
    </message>
    <message>
        <source>Аварийное реле</source>
        <translation>Emergency relay</translation>
    </message>
    <message>
        <source>Данные</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Анализ</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Копировать все</source>
        <translation>Copy all</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Сводка по дням</source>
        <translation>Daily summary</translation>
    </message>
</context>
<context>
    <name>TFormOverview</name>
    <message>
        <source>Обзор</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Щелчок показывает это время на графике главного окна и держит его там; щелчок у правого края — снова последние строки</source>
        <translation>A click shows this moment on the main window&apos;s chart and holds it there; a click at the right edge goes back to the newest lines</translation>
    </message>
</context>
<context>
    <name>TFormSettings</name>
    <message>
        <source>Настойки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Автозапуск программы</source>
        <translation>Start with the desktop</translation>
    </message>
    <message>
        <source>Скрывать в трей при запуске</source>
        <translation>Hide in the tray at start</translation>
    </message>
    <message>
        <source>Сворачивать в трей</source>
        <translation>Minimise to the tray</translation>
    </message>
    <message>
        <source>Открывать порт при запуске</source>
        <translation>Open the port at start</translation>
    </message>
    <message>
        <source>Сигнализировать при отсутствии данных от инкубатора</source>
        <translation>Warn when no data come from the incubator</translation>
    </message>
    <message>
        <source>Подавать звуковой сигнал</source>
        <translation>With a sound</translation>
    </message>
    <message>
        <source>Через сколько секунд выводить данные на график</source>
        <translation>Seconds between points on the chart</translation>
    </message>
    <message>
        <source>Через сколько минут сохранять статистику</source>
        <translation>Minutes between saves of the statistics</translation>
    </message>
    <message>
        <source>0 - не сохранять</source>
        <translation>0 - do not save</translation>
    </message>
    <message>
        <source>Разрешить тревогу от</source>
        <translation>Alarms enabled for</translation>
    </message>
    <message>
        <source>Т1</source>
        <translation>T1</translation>
    </message>
    <message>
        <source>Т2</source>
        <translation>T2</translation>
    </message>
    <message>
        <source>Влажности</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Звук тревоги</source>
        <translation>Alarm sound</translation>
    </message>
    <message>
        <source>Повтор звука через</source>
        <translation>Repeat the sound every</translation>
    </message>
    <message>
        <source>сек.</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Через сколько секунд выводить данные на график и статистику.
Работает по принципу: сколько раз пропустить принятые данные
при построении графика.</source>
        <translation>How many seconds between points on the chart and in the statistics.
It works as: how many received frames to skip
when building the chart.</translation>
    </message>
</context>
<context>
    <name>TGraphM</name>
    <message>
        <source>М: %1%</source>
        <translation>Z: %1%</translation>
    </message>
</context>
<context>
    <name>TPortSetupDialog</name>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source> Settings </source>
        <translation> Settings </translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>Data bits</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>Stop bits</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TTrayIcon</name>
    <message>
        <source>Показать</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Скрыть</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>TfAbout</name>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>V1.22   24.04.2012 (версия SHT10)</source>
        <translation>V1.22   24.04.2012 (SHT10 version)</translation>
    </message>
    <message>
        <source>Домашняя страничка</source>
        <translation>Home page</translation>
    </message>
    <message>
        <source>В программе использованны следующие компоненты</source>
        <translation>The program uses these components</translation>
    </message>
    <message>
        <source>2D графики</source>
        <translation>2D charts</translation>
    </message>
    <message>
        <source>Qt Serial Port (список портов)</source>
        <translation>Qt Serial Port (port list)</translation>
    </message>
</context>
<context>
    <name>ViewFont</name>
    <message>
        <source>Шрифт больше %1 пунктов не годится: шрифт не изменён.</source>
        <translation>A font larger than %1 points will not do: the font stays as it was.</translation>
    </message>
</context>
<context>
    <name>WebDialog</name>
    <message>
        <source>Веб-страница</source>
        <translation>Web page</translation>
    </message>
    <message>
        <source>Показывать инкубатор на веб-странице</source>
        <translation>Show the incubator on a web page</translation>
    </message>
    <message>
        <source>127.0.0.1: только этот компьютер; 0.0.0.0: все сети компьютера</source>
        <translation>127.0.0.1: this computer only; 0.0.0.0: every network of the computer</translation>
    </message>
    <message>
        <source>Адрес:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>127.0.0.1 — только этот компьютер, 0.0.0.0 — вся сеть фермы</source>
        <translation>127.0.0.1 — this computer only, 0.0.0.0 — the whole farm network</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Новый ключ</source>
        <translation>New key</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Монитор инкубатора</source>
        <translation>Incubator monitor</translation>
    </message>
    <message>
        <source>Т1</source>
        <translation>T1</translation>
    </message>
    <message>
        <source>Т2</source>
        <translation>T2</translation>
    </message>
    <message>
        <source>Т3</source>
        <translation>T3</translation>
    </message>
    <message>
        <source>Влажность</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Тревога</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Нет данных от инкубатора</source>
        <translation>No data from the incubator</translation>
    </message>
    <message>
        <source>Данные поступают</source>
        <translation>Data arriving</translation>
    </message>
    <message>
        <source>Данных нет</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>Нет связи с программой</source>
        <translation>No connection to the program</translation>
    </message>
    <message>
        <source>Выходы</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>Последние 6 часов</source>
        <translation>Last 6 hours</translation>
    </message>
    <message>
        <source>Весь журнал</source>
        <translation>Whole journal</translation>
    </message>
    <message>
        <source>Дневные файлы</source>
        <translation>Day files</translation>
    </message>
    <message>
        <source>Последняя строка</source>
        <translation>Newest line</translation>
    </message>
    <message>
        <source>Зуммер</source>
        <translation>Buzzer</translation>
    </message>
    <message>
        <source>Нагрев</source>
        <translation>Heater</translation>
    </message>
    <message>
        <source>Разница T1-T2</source>
        <translation>T1-T2 difference</translation>
    </message>
    <message>
        <source>Увлажнитель</source>
        <translation>Humidifier</translation>
    </message>
    <message>
        <source>Поворот: реверс</source>
        <translation>Turning: reverse</translation>
    </message>
    <message>
        <source>Поворот: движение</source>
        <translation>Turning: movement</translation>
    </message>
    <message>
        <source>Охлаждение</source>
        <translation>Cooling</translation>
    </message>
    <message>
        <source>Аварийное реле</source>
        <translation>Emergency relay</translation>
    </message>
    <message>
        <source>КБ</source>
        <translation>KB</translation>
    </message>
</context>
<context>
    <name>WebPublisher</name>
    <message>
        <source>Веб-страница: %1</source>
        <translation>Web page: %1</translation>
    </message>
    <message>
        <source>Веб-страница не открыта: %1</source>
        <translation>Web page not opened: %1</translation>
    </message>
</context>
<context>
    <name>WebSettings</name>
    <message>
        <source>Веб-страница: адрес (Listen) «%1» не является IP-адресом.</source>
        <translation>Web page: the address (Listen) "%1" is no IP address.</translation>
    </message>
    <message>
        <source>Веб-страница: порт (Port) должен быть от 1 до 65535, а не %1.</source>
        <translation>Web page: the port (Port) must be 1 to 65535, not %1.</translation>
    </message>
    <message>
        <source>Веб-страница: ключ доступа (Token) нужен, когда страница видна в сети: не менее 16 латинских букв и цифр.</source>
        <translation>Web page: an access key (Token) is needed when the page is seen on the network: at least 16 Latin letters and digits.</translation>
    </message>
</context>
</TS>
