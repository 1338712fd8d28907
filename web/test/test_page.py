#!/usr/bin/python3
"""test_page.py: the web page in headless Chromium, opened as a file and
from a local server: Generate against onymix-cli and the golden file, the
Store rule, the list kept over a reload, Open and Save byte for byte in every
encoding, Quit, the keyboard, narrow and zoomed screens, and a clean console.

Run by tools/test-web.sh, which sets ONYMIX_PAGE (the unpacked page),
ONYMIX_ZIP, ONYMIX_CLI (a native onymix-cli) and ONYMIX_SOURCE_DIR."""
import http.server
import os
import re
import subprocess
import tempfile
import threading
import time
import unittest
import zipfile
from pathlib import Path

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

PAGE = Path(os.environ['ONYMIX_PAGE'])
ZIP = Path(os.environ['ONYMIX_ZIP'])
CLI = os.environ['ONYMIX_CLI']
SOURCE = Path(os.environ['ONYMIX_SOURCE_DIR'])
MODES = ['Female', 'Female + Surname', 'Male', 'Male + Surname', 'Surname']
POLICY = ("default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; "
          "img-src 'self'; base-uri 'none'; form-action 'none'")
CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
                  '--disable-background-networking', '--disable-component-update',
                  '--disable-sync', '--window-size=900,900', '--force-device-scale-factor=1']


def header_constant(name):
    """A number of onymix.h, through the constants it is defined by."""
    value = re.search(rf'^#define {name} (\S+)$', (SOURCE / 'include' / 'onymix.h').read_text(),
                      re.MULTILINE)[1]
    return int(value) if value.isdigit() else header_constant(value)


def cli(*args):
    return subprocess.run([CLI, *args], check=True, capture_output=True, text=True).stdout.strip()


class Server:
    """The page's folder on a static server at 127.0.0.1, on a free port."""

    def __init__(self, folder):
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=str(folder), **kwargs)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Quiet)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        self.url = f'http://127.0.0.1:{self.httpd.server_address[1]}/index.html'

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join()


class PageCases:
    """The cases, run once for each way of opening the page."""

    url = None

    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.downloads = Path(cls.scratch.name, 'downloads')
        cls.downloads.mkdir()
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in CHROMIUM_FLAGS + [f'--user-data-dir={cls.scratch.name}/profile']:
            options.add_argument(flag)
        options.add_experimental_option('prefs', {
            'download.default_directory': str(cls.downloads),
            'download.prompt_for_download': False})
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        cls.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        cls.driver.execute_cdp_cmd('Browser.setDownloadBehavior',
                                   {'behavior': 'allow', 'downloadPath': str(cls.downloads)})

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.scratch.cleanup()

    def setUp(self):
        for old in self.downloads.iterdir():
            old.unlink()
        self.driver.get(self.url)
        self.js('localStorage.clear()')
        self.load()

    def tearDown(self):
        errors = [entry for entry in self.driver.get_log('browser') if entry['level'] == 'SEVERE']
        self.assertEqual(errors, [], 'errors on the console')

    # Helpers.

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def el(self, id):
        return self.driver.find_element('id', id)

    def load(self):
        self.driver.refresh()
        self.wait(lambda: self.el('generate').is_enabled(), 'the page gets ready')

    def wait(self, condition, what, timeout=10):
        try:
            return WebDriverWait(self.driver, timeout).until(lambda _: condition())
        except TimeoutException:
            self.fail(f'timed out waiting until {what}')

    def value(self, id):
        return self.js('return arguments[0].value', self.el(id))

    def set_box(self, id, text):
        """Replaces a box's text as typing would, input event included."""
        self.js('arguments[0].value = arguments[1];'
                'arguments[0].dispatchEvent(new Event("input", { bubbles: true }))', self.el(id), text)

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def focused(self):
        return self.js('return document.activeElement.id')

    def open_file(self, name, data):
        path = Path(self.scratch.name, name)
        path.write_bytes(data)
        self.js('document.getElementById("status").textContent = ""')
        self.el('open').send_keys(str(path))
        self.wait(lambda: self.js('return document.getElementById("status").textContent !== ""'
                                  ' || document.getElementById("message").open'), f'{name} is opened')

    def download(self):
        """The bytes of the one stored.txt downloaded since the test began."""
        target = self.downloads / 'stored.txt'
        self.wait(lambda: target.exists() and not list(self.downloads.glob('*.crdownload')),
                  'stored.txt is downloaded')
        data = target.read_bytes()
        target.unlink()
        return data

    def assert_no_download(self):
        time.sleep(0.5)
        self.assertEqual(list(self.downloads.iterdir()), [])

    def message(self):
        """The open message box: its text and its buttons."""
        self.wait(lambda: self.el('message').get_attribute('open') is not None, 'a message box shows')
        return (self.el('message-text').text,
                [button.text for button in self.el('message-buttons').find_elements('tag name', 'button')])

    def answer(self, label):
        for button in self.el('message-buttons').find_elements('tag name', 'button'):
            if button.text == label:
                button.click()
                break
        else:
            self.fail(f'no button {label}')
        self.wait(lambda: self.el('message').get_attribute('open') is None, 'the message box closes')

    def rect(self, element):
        return self.js('const r = arguments[0].getBoundingClientRect();'
                       'return [r.left, r.top, r.width, r.height]', element)

    # The window.

    def test_window_is_laid_out_as_the_program_lays_it_out(self):
        window = self.el('main-window')
        self.assertEqual(self.rect(window)[2:], [288, 364])
        left, top, _, _ = self.rect(window)
        client = self.driver.find_element('css selector', '#main-window .client')
        cx, cy, cw, ch = self.rect(client)
        # The frame, the caption and the menu bar of the program under Wine.
        self.assertEqual([cx - left, cy - top, cw, ch], [3, 41, 282, 320])
        layout = {
            'name': [30, 60, 220, 30], 'generate': [40, 100, 80, 30],
            'quit': [180, 280, 80, 30], 'store': [160, 100, 80, 30],
            'stored': [30, 140, 220, 120], 'mode': [80, 30, 120, 20],
        }
        for id, expected in layout.items():
            x, y, w, h = self.rect(self.el(id))
            self.assertEqual([x - cx, y - cy, w, h], expected, id)
        logo = client.find_element('css selector', '.logo')
        x, y, w, h = self.rect(logo)
        self.assertEqual([x - cx, y - cy, w, h], [20, 280, 32, 24])
        self.assertEqual(self.js('return arguments[0].naturalWidth', logo), 32, 'the logo is shown')

        self.assertEqual(self.driver.title, 'Tavrelon - Onymix')
        self.assertEqual(self.el('main-caption').text, 'Tavrelon - Onymix')
        self.assertEqual(self.el('menu-button').text, 'Menu')
        self.assertEqual([self.el(id).text for id in ('generate', 'quit', 'store')],
                         ['Generate', 'Quit', 'Store'])
        self.assertEqual(self.js('return [...document.querySelectorAll("#main-window u")]'
                                 '.map((u) => u.textContent).join("")'), 'MAVEGQS', 'the access letters')
        # The program's modes, the library's first five, by its labels; its default selected.
        labels = self.js('return onymix.MODES')
        self.assertEqual(self.js('return [...arguments[0].options].map((o) => o.text)', self.el('mode')),
                         labels[:5])
        self.assertEqual(MODES, labels[:5])
        self.assertEqual(self.value('mode'), labels[header_constant('ONYMIX_DEFAULT_SEQUENCE_MODE')])
        self.assertEqual([self.value('name'), self.value('stored')], ['', ''])
        self.assertEqual([self.el(id).get_attribute('aria-label') for id in ('name', 'stored', 'mode')],
                         ['Name', 'Stored names', 'Mode'])
        shots = SOURCE / 'build' / 'screenshots'
        shots.mkdir(parents=True, exist_ok=True)
        window.screenshot(str(shots / 'web-main.png'))

    def test_the_menu_holds_about_visit_a_separator_and_exit(self):
        self.el('menu-button').click()
        entries = self.js('return [...document.getElementById("menu").children]'
                          '.map((e) => e.getAttribute("role") + ":" + e.textContent)')
        self.assertEqual(entries, ['menuitem:About...', 'menuitem:Visit www.tavrelon.com...',
                                   'separator:', 'menuitem:Exit'])
        self.assertEqual(self.el('menu-button').get_attribute('aria-expanded'), 'true')
        # Visit goes nowhere: there is no site.
        self.el('visit-item').click()
        self.assertEqual(self.el('visit-item').get_attribute('aria-disabled'), 'true')
        self.assertTrue(self.el('menu').is_displayed(), 'a disabled item leaves the menu open')
        self.assertEqual(len(self.driver.window_handles), 1)
        self.el('about-item').click()
        self.assertFalse(self.el('menu').is_displayed())
        self.assertTrue(self.el('about').is_displayed())

    def test_the_about_window_shows_the_library_version_credits_and_picture(self):
        self.el('menu-button').click()
        self.el('about-item').click()
        about = self.el('about')
        self.assertEqual(self.rect(about)[2:], [288, 364])
        self.assertEqual(self.el('about-caption').text, 'About Onymix')
        self.assertEqual(self.el('version').text, f'Onymix {cli("--version").split()[-1]}')
        self.assertEqual(self.js('return document.querySelector("#about .credits").innerText'),
                         '       by Tavrelon\n\nCopyright (C) 2026 Tavrelon')
        picture = about.find_element('css selector', '.picture')
        self.assertEqual(self.js('return [arguments[0].naturalWidth, arguments[0].naturalHeight]', picture),
                         [175, 176])
        # Not modal, as in the program: the main window works meanwhile.
        self.el('generate').click()
        self.assertNotEqual(self.value('name'), '')
        self.el('close').click()
        self.assertFalse(about.is_displayed())

    # Generate and Store.

    def test_generate_gives_the_library_name_of_the_second_in_every_mode(self):
        for mode in MODES:
            self.js('arguments[0].value = arguments[1]', self.el('mode'), mode)
            before = self.js('return Math.floor(Date.now() % 86400000 / 1000)')
            self.el('generate').click()
            after = self.js('return Math.floor(Date.now() % 86400000 / 1000)')
            name = self.value('name')
            second = int(self.el('name').get_attribute('data-second'))
            self.assertTrue(before <= second <= after or after < before,
                            f'{second} is not between {before} and {after}')
            self.assertEqual(name, cli('--seed', str(second), '--mode', mode), f'{mode} at {second}')
            self.assertEqual(self.js('return onymix.generate(arguments[0], arguments[1])', mode, second), name)
        # Choosing a mode generates nothing by itself.
        self.js('arguments[0].value = "Female"; arguments[0].dispatchEvent(new Event("change"))', self.el('mode'))
        self.assertEqual(self.value('name'), name)

    def test_generate_at_the_seconds_of_the_golden_file(self):
        golden = {}
        for line in (SOURCE / 'tests' / 'golden' / 'generate.txt').read_text().splitlines():
            mode, second, name = line.split('\t')
            if int(mode) < len(MODES):
                golden[(int(mode), int(second))] = name
        # The clock stopped at 01:00:00 UTC (second 3600) on some day.
        fixed = self.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {
            'source': 'Date.now = () => 1700006400000 + 3600 * 1000 + 250;'})
        try:
            self.load()
            for mode, label in enumerate(MODES):
                self.js('arguments[0].value = arguments[1]', self.el('mode'), label)
                self.el('generate').click()
                self.assertEqual(self.el('name').get_attribute('data-second'), '3600')
                self.assertEqual(self.value('name'), golden[(mode, 3600)], label)
        finally:
            self.driver.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument', fixed)

    def test_store_appends_by_the_program_rule(self):
        steps = [
            ('', '', ''),                       # both empty: still empty
            ('Ada Lovelace', '', 'Ada Lovelace'),  # no line break before the first
            ('Bo', 'Ada Lovelace', 'Ada Lovelace\nBo'),
            ('Bo', 'Ada Lovelace\nBo', 'Ada Lovelace\nBo\nBo'),  # stored again
            ('', 'Ada Lovelace\nBo\nBo', 'Ada Lovelace\nBo\nBo\n'),  # an empty line
        ]
        for name, before, after in steps:
            self.set_box('name', name)
            self.assertEqual(self.value('stored'), before)
            self.el('store').click()
            self.assertEqual(self.value('stored'), after, f'Store of {name!r}')
        self.el('generate').click()
        generated = self.value('name')
        self.el('store').click()
        self.assertTrue(self.value('stored').endswith('\n\n' + generated))

    def test_the_list_outlives_a_reload(self):
        self.el('stored').send_keys('Zoë\nAda')
        self.load()
        self.assertEqual(self.value('stored'), 'Zoë\nAda')
        self.set_box('name', 'Cy')
        self.el('store').click()
        self.load()
        self.assertEqual(self.value('stored'), 'Zoë\nAda\nCy')
        # The encoding of an opened file is kept too.
        cp1252 = b'Zo\xeb\r\nRen\xe9e\r\n'
        self.open_file('stored.txt', cp1252)
        self.load()
        self.assertEqual(self.value('stored'), 'Zoë\nRenée\n')
        self.el('save').click()
        self.assertEqual(self.download(), cp1252)

    # Open and Save.

    def test_open_reads_lines_of_either_end_and_skips_empty_ones(self):
        self.el('stored').send_keys('replaced')
        self.open_file('stored.txt', b'Ada\r\n\r\nBo\nCy\n\n  \r\nA\rB\r\n\x00lost\r\nDee')
        self.assertEqual(self.value('stored'), 'Ada\nBo\nCy\n  \nAB\nDee\n')
        self.assertEqual(self.el('status').text, 'Opened stored.txt: UTF-8.')
        self.el('save').click()
        self.assertEqual(self.download(), b'Ada\r\nBo\r\nCy\r\n  \r\nAB\r\nDee\r\n')

    def test_open_and_save_utf16_files_byte_for_byte(self):
        text = 'Zoë\r\nОльга 王芳\r\n😀\r\n'
        for codec, shown in (('utf-16-le', 'UTF-16 LE'), ('utf-16-be', 'UTF-16 BE')):
            data = ('\ufeff' + text).encode(codec)
            self.open_file(f'{codec}.txt', data)
            self.assertEqual(self.value('stored'), text.replace('\r\n', '\n'), codec)
            self.assertEqual(self.el('status').text, f'Opened {codec}.txt: {shown}.')
            self.el('save').click()
            self.assertEqual(self.download(), data, codec)

    def test_open_and_save_a_code_page_1252_file_byte_for_byte(self):
        data = b'Zo\xeb\r\nRen\xe9e\r\n\x80uro \x8a\x9f\r\n\xff\xfe\r\n'
        self.open_file('stored.txt', data)
        self.assertEqual(self.value('stored'), 'Zoë\nRenée\n€uro ŠŸ\nÿþ\n')
        self.assertEqual(self.el('status').text, 'Opened stored.txt: windows-1252.')
        self.el('save').click()
        self.assertEqual(self.download(), data)
        # Behind the UTF-8 mark, as the program writes a list starting "ÿþ".
        marked = b'\xef\xbb\xbf\xff\xfetienne\r\n'
        self.open_file('marked.txt', marked)
        self.assertEqual(self.value('stored'), 'ÿþtienne\n')
        self.el('save').click()
        self.assertEqual(self.download(), marked)
        # A character the code page lacks is refused, the file not written.
        self.set_box('name', 'Ω')
        self.el('store').click()
        self.el('save').click()
        self.assertEqual(self.message(), (
            "Can't save stored names: \"Ω\" (U+03A9) has no form in windows-1252, "
            'the encoding of the stored.txt that was opened.', ['OK']))
        self.answer('OK')
        self.assert_no_download()

    def test_the_code_page_1252_table_is_the_browser_one(self):
        same = self.js(
            'const bytes = Uint8Array.from({ length: 256 }, (_, i) => i).filter((b) => ![0, 10, 13].includes(b));'
            'return onymix.storedText(bytes).text === new TextDecoder("windows-1252").decode(bytes) + "\\r\\n"')
        self.assertTrue(same)

    def test_open_refuses_what_cannot_be_shown_and_keeps_the_list(self):
        self.el('stored').send_keys('Ada')
        self.open_file('half.txt', b'\xff\xfeA\x00B')
        self.assertEqual(self.message(),
                         ("Can't read file half.txt: it holds characters Onymix cannot show", ['OK']))
        self.answer('OK')
        self.assertEqual(self.value('stored'), 'Ada')

    def test_save_writes_the_program_bytes_for_the_box(self):
        cases = [
            ('Ada\nBo', b'Ada\r\nBo'),
            ('Ada\nBo\n', b'Ada\r\nBo\r\n'),
            ('Ada\n\n\nBo', b'Ada\r\n\r\n\r\nBo'),
            ('Zoë  Ольга', 'Zoë  Ольга'.encode()),
            ('\ufeffAda', b'\xef\xbb\xbf\xef\xbb\xbfAda'),
            ('', b''),
        ]
        for box, data in cases:
            self.set_box('stored', box)
            self.el('save').click()
            self.assertEqual(self.download(), data, repr(box))
        self.assertEqual(self.el('status').text, 'Saved stored.txt: UTF-8.')

    # Quit and the close box.

    def test_quit_asks_only_for_a_list_and_saves_on_yes(self):
        self.el('quit').click()
        self.assertFalse(self.el('main-window').is_displayed(), 'an empty list: ended at once')
        self.assertEqual(self.focused(), 'restart')
        self.el('restart').click()
        self.assertTrue(self.el('main-window').is_displayed())

        self.set_box('stored', 'Ada\nBo')
        self.el('quit').click()
        self.assertEqual(self.message(), ('Save stored names to file?', ['Yes', 'No']))
        self.assertEqual(self.el('message-caption').text, 'Onymix')
        self.answer('No')
        self.assert_no_download()
        self.assertTrue(self.el('ended').is_displayed())

        self.el('restart').click()
        self.el('quit').click()
        self.message()
        self.answer('Yes')
        self.assertEqual(self.download(), b'Ada\r\nBo')
        self.assertTrue(self.el('ended').is_displayed())

        # Exit is Quit; Escape answers No.
        self.el('restart').click()
        self.el('menu-button').click()
        self.el('exit-item').click()
        self.message()
        self.keys(Keys.ESCAPE)
        self.wait(lambda: self.el('ended').is_displayed(), 'Escape ends it')
        self.assert_no_download()

        # The close box ends without asking; the list stays in the browser.
        self.el('restart').click()
        self.el('close-box').click()
        self.assertTrue(self.el('ended').is_displayed())
        self.load()
        self.assertEqual(self.value('stored'), 'Ada\nBo')

    # The keyboard.

    def test_tab_reaches_every_control_in_order(self):
        self.js('document.activeElement.blur()')
        order = []
        for _ in range(10):
            self.keys(Keys.TAB)
            order.append(self.focused())
        self.assertEqual(order, ['menu-button', 'name', 'generate', 'quit', 'store', 'stored',
                                 'mode', 'close-box', 'open', 'save'])
        ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
        self.assertEqual(self.focused(), 'open')

    def test_buttons_and_the_mode_chooser_work_by_keyboard(self):
        self.el('mode').send_keys(Keys.UP)  # focuses it, then the item above
        self.assertEqual(self.value('mode'), 'Male')
        self.el('generate').send_keys(Keys.ENTER)
        second = self.el('name').get_attribute('data-second')
        self.assertEqual(self.value('name'), cli('--seed', second, '--mode', 'Male'))
        self.el('store').send_keys(Keys.SPACE)
        self.assertEqual(self.value('stored'), self.value('name'))
        self.el('save').send_keys(Keys.ENTER)
        self.assertEqual(self.download(), self.value('name').encode())
        self.el('quit').send_keys(Keys.SPACE)
        self.message()
        self.assertEqual(self.focused(), '', 'the focus is in the message box')
        self.assertEqual(self.js('return document.activeElement.textContent'), 'Yes')
        self.keys(Keys.TAB)
        self.assertEqual(self.js('return document.activeElement.textContent'), 'No')
        self.keys(Keys.ENTER)
        self.wait(lambda: self.el('ended').is_displayed(), 'No ends it')
        self.assert_no_download()
        # The access keys of the underlined letters.
        self.keys(Keys.ENTER)  # Start Onymix again
        self.set_box('name', '')
        ActionChains(self.driver).key_down(Keys.ALT).send_keys('g').key_up(Keys.ALT).perform()
        self.assertNotEqual(self.value('name'), '', 'Alt+G generates')

    def test_the_menu_and_the_about_window_by_keyboard(self):
        self.el('menu-button').send_keys(Keys.ENTER)
        self.assertEqual(self.focused(), 'about-item')
        steps = [(Keys.DOWN, 'visit-item'), (Keys.DOWN, 'exit-item'), (Keys.DOWN, 'about-item'),
                 (Keys.UP, 'exit-item'), (Keys.HOME, 'about-item'), (Keys.END, 'exit-item')]
        for key, expected in steps:
            self.keys(key)
            self.assertEqual(self.focused(), expected)
        self.keys(Keys.ESCAPE)
        self.assertEqual(self.focused(), 'menu-button')
        self.assertFalse(self.el('menu').is_displayed())
        self.keys(Keys.UP)
        self.assertEqual(self.focused(), 'exit-item')
        self.keys('v')  # disabled: nothing happens
        self.assertTrue(self.el('menu').is_displayed())
        self.keys(Keys.TAB)
        self.assertFalse(self.el('menu').is_displayed())
        self.assertEqual(self.focused(), 'name')
        self.keys(Keys.F10)
        self.assertEqual(self.focused(), 'about-item')
        self.keys('a')
        self.assertTrue(self.el('about').is_displayed())
        self.assertEqual(self.focused(), 'close')
        self.keys(Keys.ESCAPE)
        self.assertFalse(self.el('about').is_displayed())
        self.assertEqual(self.focused(), 'menu-button')
        self.keys(Keys.SPACE)
        self.keys(Keys.ENTER)  # About...
        self.keys(Keys.SPACE)  # Close
        self.assertFalse(self.el('about').is_displayed())

    # Screens, the policy and the console.

    def test_narrow_and_zoomed_screens_scale_the_window_without_reflow(self):
        # A 360-pixel phone, that phone at 200% zoom (180 CSS pixels), and a
        # 1280 x 720 screen at 200% (640 x 360).
        screens = [(360, 640, 1), (180, 320, (180 - 16) / 288), (640, 360, 1)]
        try:
            for width, height, scale in screens:
                self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
                    'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': width < 400})
                self.wait(lambda: self.js('return innerWidth') == width, f'the screen is {width} wide')
                # The page scales on its resize event, which may come after
                # the new width shows.
                self.wait(lambda: abs(self.rect(self.el('main-window'))[2] - 288 * scale) <= 0.5,
                          f'the window scaled to {width} wide')
                x, y, w, h = self.rect(self.el('main-window'))
                self.assertAlmostEqual(w, 288 * scale, delta=0.5, msg=f'{width} wide')
                self.assertAlmostEqual(h, 364 * scale, delta=0.5, msg=f'{width} wide')
                self.assertLessEqual(self.js('return document.documentElement.scrollWidth'),
                                     self.js('return document.documentElement.clientWidth'), 'no sideways scrolling')
                nx, ny, nw, nh = self.rect(self.el('quit'))
                self.assertAlmostEqual(nx - x, (3 + 180) * scale, delta=0.5)
                self.assertAlmostEqual(nw, 80 * scale, delta=0.5)
                self.el('quit').click()
                self.assertTrue(self.el('ended').is_displayed(), f'Quit works {width} wide')
                self.el('restart').click()
        finally:
            self.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})

    def test_the_page_loads_only_its_own_files_under_its_policy(self):
        self.assertEqual(self.js('return document.querySelector(\'meta[http-equiv="Content-Security-Policy"]\')'
                                 '.content'), POLICY)
        base = self.url.rsplit('/', 1)[0] + '/'
        # A file:// page lists no resource timings; its elements name them.
        loaded = self.js('return [...performance.getEntriesByType("resource").map((e) => e.name),'
                         ' ...[...document.querySelectorAll("[src], [href]")].map((e) => e.src || e.href)]')
        self.assertGreaterEqual(len(loaded), 7, loaded)
        for name in loaded:
            self.assertTrue(name.startswith(base), name)
        # Scripts from elsewhere or inline, and pictures from data, are refused.
        attempts = {
            's = document.createElement("script"); s.src = "https://example.invalid/x.js"': 'script-src-elem',
            's = document.createElement("script"); s.textContent = "window.ran = 1"': 'script-src-elem',
            's = new Image(); s.src = "data:image/gif;base64,R0lGODlhAQABAAAAACw="': 'img-src',
        }
        for attempt, directive in attempts.items():
            refused = self.js('return new Promise((done) => {'
                              'document.addEventListener("securitypolicyviolation",'
                              ' (e) => done(e.violatedDirective), { once: true });'
                              f'let s; {attempt}; document.body.append(s); }})')
            self.assertEqual(refused, directive, attempt)
        self.assertIsNone(self.js('return window.ran'))
        self.driver.get_log('browser')  # those refusals are on the console on purpose


class FromFile(PageCases, unittest.TestCase):
    url = (PAGE / 'index.html').as_uri()


class FromServer(PageCases, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server(PAGE)
        cls.url = cls.server.url
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.server.stop()


class ReleaseZip(unittest.TestCase):
    def test_the_zip_holds_the_page_and_what_it_loads(self):
        with zipfile.ZipFile(ZIP) as archive:
            names = archive.namelist()
        folder = ZIP.stem + '/'
        self.assertEqual(names, [folder] + [folder + name for name in (
            'about_badges.bmp', 'index.html', 'logo_badge.bmp', 'onymix.ico', 'onymix.js', 'page.css', 'page.js')])


if __name__ == '__main__':
    unittest.main(verbosity=2)
